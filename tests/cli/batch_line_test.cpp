#include "cli/batch_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string_view birth;
    std::string_view id;
    SplitBatchLine(c.line, birth, id);
    EXPECT_EQ(birth, c.id[0] == '\0' ? std::string_view(c.line) : std::string_view(c.birth));
    EXPECT_EQ(id, c.id);
  }
}

TEST(BirthLineReading, TakesACityOrAZoneAndLongitudeAfterTheTime) {
  struct Case {
    const char* name;
    const char* line;
    const char* zone;
    const char* longitude;
    const char* city;
  };
  const Case cases[] = {
      {"nothing", "2000-02-04 23:00", "", "", ""},
      {"a zone", "2000-02-04 23:00 Asia/Shanghai", "Asia/Shanghai", "", ""},
      {"a zone and a longitude", "2000-02-04 23:00 UTC -0.5", "UTC", "-0.5", ""},
      {"a city", "2000-02-04 23:00 Beijing", "", "", "Beijing"},
      {"a city with its region and country", "2000-02-04 23:00  London, Ontario, Canada ", "", "",
       "London, Ontario, Canada"},
      {"joined by T, with a city", "2000-02-04T23:00 New York", "", "", "New York"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BirthInput birth;
    PlaceWords place;
    std::string error;
    ASSERT_TRUE(ReadBirthLine(c.line, birth, place, error)) << error;
    EXPECT_EQ(birth, (BirthInput{{2000, 2, 4}, 23, 0}));
    EXPECT_EQ(place.zone, c.zone);
    EXPECT_EQ(place.longitude, c.longitude);
    EXPECT_EQ(place.city, c.city);
  }
}

}  // namespace
}  // namespace velmora
