// The one cast every shell makes: a birth checked, corrected for a birth place taken from any
// source of zones, and cast; a refusal says why and leaves the last cast as it was.
#include "casting/caster.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "calendar/date_time.h"

namespace velmora {
namespace {

using ::testing::HasSubstr;

// A zone of fixed offsets: eight hours east in standard time, nine with daylight saving time.
class SummerZone final : public ZoneOffsets {
 public:
  std::int32_t OffsetAt(std::int64_t) const override { return 9 * 3600; }
  std::int32_t StandardOffsetAt(std::int64_t) const override { return 8 * 3600; }
};

// Knows one zone, "Test/Summer", and counts how often it is asked.
class OneZone final : public ZoneSource {
 public:
  const ZoneOffsets* Open(std::string_view name) override {
    ++opened;
    return name == "Test/Summer" ? &zone_ : nullptr;
  }
  int opened = 0;

 private:
  SummerZone zone_;
};

// Knows one city, Testville, on the meridian of Test/Summer's standard time, and counts how
// often it is asked.
class OneCity final : public PlaceFinder {
 public:
  std::vector<Place> Find(std::string_view query) override {
    ++asked;
    if (query != "Testville") return {};
    return {{"Testville", "Test Region", "Testland", "TL", "Test/Summer", 30.0, 120.0, 20000}};
  }
  int asked = 0;
};

constexpr const char* kHint = "say so";

TEST(Caster, CastsTheClockTimeOrItsCorrectionAndRefusesWhatItCannotCast) {
  struct Case {
    const char* name;
    PlaceRequest place;
    PlaceWords words;
    BirthInput birth;
    bool cast;
    TDateTime moment;                             // the moment the chart is cast from
    const char* sentence;                         // in the correction's sentence, or in the refusal
    BirthRefused refused = BirthRefused::kPlace;  // why, when it is refused
  };
  const BirthInput birth{{1988, 7, 15}, 9, 30};
  const TDateTime clock = birth.Moment();
  const TDateTime standard = EncodeDate(1988, 7, 15) + EncodeTime(8, 30);
  PlaceRequest summer;
  summer.zone = "Test/Summer";
  PlaceRequest unknown;
  unknown.zone = "Test/Nowhere";
  PlaceRequest city;
  OneCity cities;
  TakeCity(cities.Find("Testville").front(), city);
  const char* cityWords = "09:30 in Testville, Test Region, Testland (Test/Summer, 120\u00b0E)";
  const Case cases[] = {
      {"no birth place", {}, {}, birth, true, clock, ""},
      {"a zone with daylight saving time",
       summer,
       {},
       birth,
       true,
       standard,
       "clock time 09:30 in Test/Summer, less 1 h for daylight saving time"},
      {"the birth's own zone", {}, {"Test/Summer", "", ""}, birth, true, standard, ""},
      {"a city", city, {}, birth, true, standard, cityWords},
      {"the birth's own city", {}, {"", "", "Testville"}, birth, true, standard, cityWords},
      {"the birth's zone over the city",
       city,
       {"Test/Summer", "", ""},
       birth,
       true,
       standard,
       "09:30 in Test/Summer"},
      {"a city the finder does not know",
       {},
       {"", "", "Atlantis"},
       birth,
       false,
       0,
       "\"Atlantis\" is neither a city"},
      {"an unknown zone", unknown, {}, birth, false, 0, "unknown time zone"},
      {"a bad longitude", summer, {"", "181", ""}, birth, false, 0, "not a longitude"},
      {"outside the calendar",
       {},
       {},
       {{2051, 12, 31}, 23, 0},
       false,
       0,
       "lies outside",
       BirthRefused::kUnsupported},
      {"outside the calendar once corrected",
       summer,
       {},
       {{1901, 12, 31}, 23, 30},
       false,
       0,
       "the corrected moment",
       BirthRefused::kUnsupported},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OneZone zones;
    Caster caster(zones, kHint, {}, &cities);
    std::string error;
    ASSERT_TRUE(caster.Cast({{2000, 2, 4}, 23, 0}, Caster::Output::kReading, error)) << error;
    caster.SetPlace(c.place);
    const TDateTime before = caster.Report().Chart().calendar.birthMoment;
    EXPECT_EQ(caster.Cast(c.birth, c.words, Caster::Output::kReading, error), c.cast);
    if (c.cast) {
      EXPECT_EQ(caster.Report().Chart().calendar.birthMoment, c.moment);
      EXPECT_EQ(caster.Report().Birth(), c.birth);
      EXPECT_THAT(caster.Report().CorrectionText(), HasSubstr(c.sentence));
      EXPECT_GT(caster.Report().Reading().Length(), 0);
    } else {
      EXPECT_THAT(error, HasSubstr(c.sentence));
      EXPECT_EQ(caster.Refused(), c.refused);
      EXPECT_EQ(caster.Report().Chart().calendar.birthMoment, before);
    }
  }
}

TEST(Caster, ABatchOfBirthsInOneCityAsksForItOnceAndNamesItInTheJson) {
  OneZone zones;
  OneCity cities;
  Caster caster(zones, kHint, {}, &cities);
  std::string error;
  for (int day = 1; day <= 3; ++day) {
    ASSERT_TRUE(
        caster.Cast({{1988, 7, day}, 9, 30}, {"", "", "Testville"}, Caster::Output::kChart, error))
        << error;
  }
  EXPECT_EQ(cities.asked, 1);
  EXPECT_THAT(caster.Report().CorrectionJson(),
              HasSubstr("{\"zone\":\"Test/Summer\",\"place\":{\"name\":\"Testville\",\"region\":"
                        "\"Test Region\",\"country\":\"Testland\",\"countryCode\":\"TL\","
                        "\"latitude\":30,\"longitude\":120},"));
}

TEST(Caster, AChartAloneWritesNoReading) {
  OneZone zones;
  Caster caster(zones, kHint);
  std::string error;
  ASSERT_TRUE(caster.Cast({{2000, 2, 4}, 23, 0}, Caster::Output::kChart, error));
  EXPECT_EQ(caster.Report().Reading().Length(), 0);
  EXPECT_EQ(zones.opened, 0);  // a birth without a birth place asks for no zone
}

// A source's own spelling of a zone is what the correction writes, however the user wrote it;
// a source that holds no zone at all says so rather than asking for another zone's name.
TEST(Caster, WritesTheSourcesSpellingOfAZoneAndSaysWhenItHasNone) {
  class Spelling final : public ZoneSource {
   public:
    const ZoneOffsets* Open(std::string_view name) override {
      spelled_ = name == "test/SUMMER" && !none ? "Test/Summer" : "";
      return spelled_.empty() ? nullptr : &zone_;
    }
    std::string_view OpenedName() const override { return spelled_; }
    bool Empty() const override { return none; }
    bool none = false;

   private:
    SummerZone zone_;
    std::string spelled_;
  } zones;
  PlaceRequest request;
  request.zone = "test/SUMMER";
  Caster caster(zones, kHint, request);
  std::string error;
  ASSERT_TRUE(caster.Cast({{1988, 7, 15}, 9, 30}, Caster::Output::kChart, error)) << error;
  EXPECT_THAT(caster.Report().CorrectionJson(), HasSubstr("{\"zone\":\"Test/Summer\","));
  zones.none = true;
  EXPECT_FALSE(caster.Cast({{1988, 7, 15}, 9, 30}, Caster::Output::kChart, error));
  EXPECT_THAT(error, HasSubstr("the system has no time zone database"));
  std::string checked;
  EXPECT_FALSE(CheckZone(zones, "Asia/Shanghai", checked));
  EXPECT_EQ(checked, kNoZoneDatabaseError);
}

}  // namespace
}  // namespace velmora
