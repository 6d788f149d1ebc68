#include "casting/chart_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <gtest/gtest.h>

#include <string>

#include "presentation/star_tables.h"

namespace velmora {
namespace {

QJsonObject ParseObject(const std::string& text) {
  QJsonParseError error{};
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                   << text;
  EXPECT_TRUE(document.isObject());
  return document.object();
}

std::string JsonString(std::string_view text) {
  std::string out;
  AppendJsonString(text, out);
  return out;
}

TEST(JsonStrings, EscapeWhatJsonForbidsAndKeepTheRest) {
  struct Case {
    const char* name;
    std::string text;
    std::string json;
  };
  const Case cases[] = {
      {"plain", "Greedy Wolf", "\"Greedy Wolf\""},
      {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
      {"line breaks and tab", "a\nb\rc\td", "\"a\\nb\\rc\\td\""},
      {"other control characters", std::string("\x01\x1b\x1f", 3), "\"\\u0001\\u001b\\u001f\""},
      {"a zero byte", std::string("a\0b", 3), "\"a\\u0000b\""},
      {"valid UTF-8 stays", "\xE5\xAD\x90 \xF0\x9F\x8C\x99", "\"\xE5\xAD\x90 \xF0\x9F\x8C\x99\""},
      {"a stray continuation byte", "a\x80z", "\"a\xEF\xBF\xBDz\""},
      {"a cut-short sequence at the end", "a\xE5\xAD", "\"a\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"an overlong slash", "\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"a surrogate", "\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80",
       "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"a Latin-1 byte", "caf\xE9", "\"caf\xEF\xBF\xBD\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string json = JsonString(c.text);
    EXPECT_EQ(json, c.json);
    // Whatever went in, the result is a JSON string a strict parser takes.
    const QJsonObject wrapped = ParseObject("{\"s\":" + json + "}");
    EXPECT_TRUE(wrapped.value(QStringLiteral("s")).isString());
  }
}

// The chart of a birth computed straight from the core, to compare the JSON with.
struct Expected {
  PalaceChart chart;
  DisplayTable table;
  explicit Expected(const BirthInput& birth) {
    chart.SetBirthMoment(birth.Moment());
    chart.ComputeChart();
    BuildDisplayTable(chart, table);
  }
};

// Every member of a chart object against the core's own chart and display table.
void ExpectChartObject(const QJsonObject& object, const BirthInput& birth) {
  const Expected expected(birth);
  EXPECT_EQ(object.value(QStringLiteral("date")).toString().toStdString(), IsoDate(birth.date));
  EXPECT_EQ(object.value(QStringLiteral("time")).toString().toStdString(),
            ClockTime(birth.hour, birth.minute));
  const QJsonObject facts = object.value(QStringLiteral("facts")).toObject();
  const BirthCalendar& calendar = expected.chart.calendar;
  EXPECT_EQ(facts.value(QStringLiteral("yearStem")).toInt(-1), calendar.yearStem);
  EXPECT_EQ(facts.value(QStringLiteral("yearBranch")).toInt(-1), calendar.yearBranch);
  EXPECT_EQ(facts.value(QStringLiteral("yearStemCode")).toInt(-1), calendar.yearStemCode);
  EXPECT_EQ(facts.value(QStringLiteral("lunarMonth")).toInt(-1), calendar.lunarMonth);
  EXPECT_EQ(facts.value(QStringLiteral("lunarDay")).toInt(-1), calendar.lunarDay);
  EXPECT_EQ(facts.value(QStringLiteral("hourBranch")).toInt(-1), calendar.hourBranch);
  EXPECT_EQ(facts.size(), 6);
  EXPECT_EQ(object.value(QStringLiteral("bureau")).toInt(-1), expected.chart.bureau);
  EXPECT_EQ(object.value(QStringLiteral("lifeBranch")).toInt(-1), LifeRow(expected.table));
  const QJsonArray palaces = object.value(QStringLiteral("palaces")).toArray();
  ASSERT_EQ(palaces.size(), 12);
  for (int branch = 1; branch <= 12; ++branch) {
    SCOPED_TRACE("branch " + std::to_string(branch));
    const QJsonObject palace = palaces.at(branch - 1).toObject();
    const auto b = static_cast<std::size_t>(branch);
    EXPECT_EQ(palace.value(QStringLiteral("branch")).toInt(-1), branch);
    EXPECT_EQ(palace.value(QStringLiteral("stem")).toInt(-1), expected.chart.grid[b][kStemSlot]);
    const QJsonArray items = palace.value(QStringLiteral("items")).toArray();
    const QJsonArray names = palace.value(QStringLiteral("names")).toArray();
    ASSERT_EQ(items.size(), names.size());
    int k = 0;
    for (const ItemCode code : expected.table.rows[b]) {
      if (code == code::Empty) continue;
      ASSERT_LT(k, items.size());
      EXPECT_EQ(items.at(k).toInt(-1), code);
      EXPECT_EQ(names.at(k).toString().toStdString(), StarName(code));
      ++k;
    }
    EXPECT_EQ(k, items.size());
  }
}

TEST(ChartJson, BothLayoutsHoldTheChartOfTheCore) {
  const BirthInput births[] = {{{2000, 2, 4}, 23, 0},    {{1901, 12, 31}, 23, 0},
                               {{2051, 12, 31}, 22, 59}, {{2020, 5, 23}, 10, 0},
                               {{2034, 1, 10}, 12, 0},   {{1985, 7, 19}, 6, 30}};
  for (const BirthInput& birth : births) {
    const Expected expected(birth);
    for (const JsonLayout layout : {JsonLayout::kOneLine, JsonLayout::kReadable}) {
      SCOPED_TRACE(LongBirthText(birth) +
                   (layout == JsonLayout::kOneLine ? " one line" : " readable"));
      std::string json;
      AppendChartJson(birth, expected.chart, expected.table, layout, json);
      ASSERT_FALSE(json.empty());
      EXPECT_EQ(json.back(), '\n');
      const auto breaks = std::count(json.begin(), json.end(), '\n');
      EXPECT_EQ(breaks, layout == JsonLayout::kOneLine ? 1 : 23);
      ExpectChartObject(ParseObject(json), birth);
    }
  }
}

TEST(ChartJson, TheNewYearEveOf2000HasItsKnownFactsAndRows) {
  const BirthInput birth{{2000, 2, 4}, 23, 0};
  const Expected expected(birth);
  std::string json;
  AppendChartJson(birth, expected.chart, expected.table, JsonLayout::kOneLine, json);
  EXPECT_TRUE(json.starts_with(
      "{\"format\":1,\"date\":\"2000-02-04\",\"time\":\"23:00\",\"facts\":{\"yearStem\":7,"
      "\"yearBranch\":5,\"yearStemCode\":7,\"lunarMonth\":1,\"lunarDay\":1,\"hourBranch\":1},"
      "\"lunarDate\":{\"year\":2000,\"month\":1,\"leap\":false,\"day\":1},\"bureau\":5,"
      "\"lifeBranch\":3,\"palaces\":[{\"branch\":1,\"stem\":5,\"items\":[25,44],"
      "\"names\":[\"Marriage\",\"Greedy Wolf\"]},"))
      << json;
}

// A leap month stands as itself in the lunar date; the facts count it as the month after it.
TEST(ChartJson, ALeapMonthIsFlaggedInTheLunarDate) {
  const BirthInput birth{{1987, 8, 10}, 12, 0};
  const Expected expected(birth);
  std::string json;
  AppendChartJson(birth, expected.chart, expected.table, JsonLayout::kOneLine, json);
  EXPECT_NE(json.find("\"lunarMonth\":7,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"lunarDate\":{\"year\":1987,\"month\":6,\"leap\":true,\"day\":16}"),
            std::string::npos)
      << json;
}

TEST(BatchErrors, CarryTheLineNumberTheInputAndTheReason) {
  std::string json;
  AppendBatchErrorJson(7, "2000-02-30 \"x\"\x01\xff", "February 2000 has no day 30", json);
  EXPECT_EQ(std::count(json.begin(), json.end(), '\n'), 1);
  const QJsonObject object = ParseObject(json);
  EXPECT_EQ(object.size(), 3);
  EXPECT_EQ(object.value(QStringLiteral("line")).toInt(), 7);
  EXPECT_EQ(object.value(QStringLiteral("input")).toString(),
            QString::fromUtf8("2000-02-30 \"x\"\x01\xEF\xBF\xBD"));
  EXPECT_EQ(object.value(QStringLiteral("error")).toString(),
            QStringLiteral("February 2000 has no day 30"));
}

}  // namespace
}  // namespace velmora
