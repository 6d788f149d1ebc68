#include "cli/batch_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "calendar/clock_correction.h"

namespace velmora {
namespace {

using ::testing::HasSubstr;

// A line's birth as a batch without a birth place takes it: read, then checked against the
// supported range.
bool ReadSupportedLine(std::string_view line, BirthInput& birth, std::string& error) {
  BirthInput read;
  PlaceWords place;
  if (!ReadBirthLine(line, read, place, error) || !CheckSupportedBirth(read, error)) return false;
  birth = read;
  return true;
}

TEST(BirthLineReading, TakesADateAndATimeBetweenBlanks) {
  struct Case {
    const char* name;
    const char* line;
    bool accepted;
    BirthInput birth;
    const char* because;
  };
  const Case cases[] = {
      {"one space", "2000-02-04 23:00", true, {{2000, 2, 4}, 23, 0}, ""},
      {"a tab and blanks around", " \t1985-07-19\t06:30  ", true, {{1985, 7, 19}, 6, 30}, ""},
      {"several spaces", "2000-02-04    23:00", true, {{2000, 2, 4}, 23, 0}, ""},
      {"empty", "", false, {}, "the line is empty"},
      {"blanks only", "  \t ", false, {}, "the line is empty"},
      {"a date alone", "2000-02-04", false, {}, "not a birth in the form YYYY-MM-DD HH:MM"},
      {"a word after the birth place",
       "2000-02-04 23:00 Asia/Shanghai 87.6 Male",
       false,
       {},
       "not a birth in the form YYYY-MM-DD HH:MM"},
      {"joined by T", "2000-02-04T23:00", true, {{2000, 2, 4}, 23, 0}, ""},
      {"short forms joined by T", "2000-2-4T7:05", true, {{2000, 2, 4}, 7, 5}, ""},
      {"with a zone", "2000-02-04T23:00Z", false, {}, "the time is local clock time"},
      {"short forms", "1985-7-9 6:30", true, {{1985, 7, 9}, 6, 30}, ""},
      {"a bad date", "2000-02-30 10:00", false, {}, "February 2000 has no day 30"},
      {"a bad time", "2000-02-04 24:00", false, {}, "there is no hour 24"},
      {"before the calendar", "1901-12-31 22:59", false, {}, "births from 31 December 1901 23:00"},
      {"after the calendar",
       "2051-12-31 23:00",
       false,
       {},
       "to 31 December 2051 22:59 are accepted"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BirthInput birth{{1, 1, 1}, 1, 1};
    std::string error;
    EXPECT_EQ(ReadSupportedLine(c.line, birth, error), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(birth, c.birth);
    } else {
      EXPECT_EQ(birth, (BirthInput{{1, 1, 1}, 1, 1}));
      EXPECT_THAT(error, HasSubstr(c.because));
    }
  }
}

TEST(BatchLineSplitting, TextAfterATabIsOnlyEverTheIdentifier) {
  struct Case {
    const char* name;
    const char* line;
    const char* birth;
    const char* id;
  };
  const Case cases[] = {
      {"no identifier", "2000-02-04 23:00", "2000-02-04 23:00", ""},
      {"an identifier", "2000-02-04 23:00\tanna", "2000-02-04 23:00", "anna"},
      {"an identifier with a slash", "2000-02-04 23:00\tanna/smith", "2000-02-04 23:00",
       "anna/smith"},
      {"an identifier that names a zone", "1988-07-15 09:30\tAsia/Shanghai", "1988-07-15 09:30",
       "Asia/Shanghai"},
      {"an identifier that is a number", "1988-07-15 09:30\t87.6", "1988-07-15 09:30", "87.6"},
      {"a birth place, then an identifier", "1990-01-15 12:00 Asia/Shanghai 87.6\t  x y ",
       "1990-01-15 12:00 Asia/Shanghai 87.6", "x y"},
      {"joined by T, with a zone", "2000-02-04T23:00 UTC\tid", "2000-02-04T23:00 UTC", "id"},
      {"a city, then an identifier", "1990-01-15 12:00 Springfield, Illinois  \t7",
       "1990-01-15 12:00 Springfield, Illinois", "7"},
      {"joined by T, with a city", "2000-02-04T23:00 Beijing\tid", "2000-02-04T23:00 Beijing",
       "id"},
      {"a zone and daylight saving time, then an identifier",
       "1988-09-11 01:30 Asia/Shanghai 87.6 dst=on\tid",
       "1988-09-11 01:30 Asia/Shanghai 87.6 dst=on", "id"},
      {"a misspelt daylight saving time word, then an identifier",
       "1988-09-11 01:30 UTC dst=yes\tid", "1988-09-11 01:30 UTC dst=yes", "id"},
      {"only a tab and an identifier", "\tanna", "", "anna"},
      {"blanks, a tab and an identifier", " \t anna smith ", "", "anna smith"},
      {"a tab before the birth", "\t1985-07-19 06:30\tanna", "\t1985-07-19 06:30", "anna"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string_view birth;
    std::string_view id;
    SplitBatchLine(c.line, birth, id);
    EXPECT_EQ(birth, c.id[0] == '\0' ? std::string_view(c.line) : std::string_view(c.birth));
    EXPECT_EQ(birth.data(), c.line) << "the birth is where the line starts";
    EXPECT_EQ(id, c.id);
  }
}

// UTC, for a zone source that only has to know names.
class NoOffsets final : public ZoneOffsets {
 public:
  std::int32_t OffsetAt(std::int64_t) const override { return 0; }
  std::int32_t StandardOffsetAt(std::int64_t) const override { return 0; }
};

// A zone source that knows a few of the database's names of no zone's form.
class FewZones final : public ZoneSource {
 public:
  const ZoneOffsets* Open(std::string_view name) override {
    for (const char* known : {"Japan", "ROC", "NZ", "GB", "Portugal", "W-SU", "EST", "GMT",
                              "Singapore", "Asia/Shanghai", "UTC"}) {
      if (name == known) return &zone_;
    }
    return nullptr;
  }

 private:
  NoOffsets zone_;
};

TEST(BirthLineReading, TakesACityOrAZoneAndLongitudeAfterTheTime) {
  struct Case {
    const char* name;
    const char* line;
    const char* zone;
    const char* longitude;
    const char* city;
    DaylightSaving daylight = DaylightSaving::kUnknown;
  };
  const Case cases[] = {
      {"nothing", "2000-02-04 23:00", "", "", ""},
      {"a zone", "2000-02-04 23:00 Asia/Shanghai", "Asia/Shanghai", "", ""},
      {"a zone and a longitude", "2000-02-04 23:00 UTC -0.5", "UTC", "-0.5", ""},
      {"a city", "2000-02-04 23:00 Beijing", "", "", "Beijing"},
      {"a city with its region and country", "2000-02-04 23:00  London, Ontario, Canada ", "", "",
       "London, Ontario, Canada"},
      {"joined by T, with a city", "2000-02-04T23:00 New York", "", "", "New York"},
      {"a zone's name", "2000-02-04 23:00 ROC", "ROC", "", ""},
      {"a country's zone", "2000-02-04 23:00 Portugal", "Portugal", "", ""},
      {"a zone's name with a hyphen", "2000-02-04 23:00 W-SU", "W-SU", "", ""},
      {"an abbreviation that is a zone", "2000-02-04 23:00 EST", "EST", "", ""},
      {"a zone's name and a longitude", "2000-02-04 23:00 Japan 139.7", "Japan", "139.7", ""},
      {"joined by T, with a zone's name", "2000-02-04T23:00 GMT", "GMT", "", ""},
      {"a zone's name and more words is a city", "2000-02-04 23:00 Singapore City", "", "",
       "Singapore City"},
      {"a zone's name with a comma is a city", "2000-02-04 23:00 Singapore, Singapore", "", "",
       "Singapore, Singapore"},
      {"daylight saving time with a zone", "2000-02-04 23:00 Asia/Shanghai dst=on", "Asia/Shanghai",
       "", "", DaylightSaving::kOn},
      {"daylight saving time with a zone's name and longitude",
       "2000-02-04 23:00 Japan 139.7  dst=off", "Japan", "139.7", "", DaylightSaving::kOff},
      {"daylight saving time with a city", "2000-02-04 23:00 Springfield, Illinois dst=off", "", "",
       "Springfield, Illinois", DaylightSaving::kOff},
      {"daylight saving time alone", "2000-02-04 23:00 dst=on", "", "", "", DaylightSaving::kOn},
      {"joined by T, with daylight saving time", "2000-02-04T23:00 dst=on", "", "", "",
       DaylightSaving::kOn},
  };
  FewZones zones;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BirthInput birth;
    PlaceWords place;
    std::string error;
    ASSERT_TRUE(ReadBirthLine(c.line, birth, place, error, &zones)) << error;
    EXPECT_EQ(birth, (BirthInput{{2000, 2, 4}, 23, 0}));
    EXPECT_EQ(place.zone, c.zone);
    EXPECT_EQ(place.longitude, c.longitude);
    EXPECT_EQ(place.city, c.city);
    EXPECT_EQ(place.daylight, c.daylight);
  }
  // Without a zone source only a zone's form makes a zone.
  BirthInput birth;
  PlaceWords place;
  std::string error;
  ASSERT_TRUE(ReadBirthLine("2000-02-04 23:00 Japan", birth, place, error));
  EXPECT_EQ(place.city, "Japan");
}

TEST(BirthLineReading, RefusesAMisspeltDaylightSavingTimeWord) {
  for (const char* line : {"1988-09-11 01:30 Asia/Shanghai dst=yes",
                           "1988-09-11 01:30 dst=", "1988-09-11 01:30 Beijing dst=ON"}) {
    SCOPED_TRACE(line);
    BirthInput birth;
    PlaceWords place;
    std::string error;
    EXPECT_FALSE(ReadBirthLine(line, birth, place, error));
    EXPECT_THAT(error, HasSubstr("write dst=on"));
  }
}

}  // namespace
}  // namespace velmora
