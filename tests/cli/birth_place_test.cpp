// velmora-cli with a birth place: the clock time read in a time zone of the system's database,
// then moved to solar time, as a user runs it.

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <array>
#include <string_view>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "casting/birth_input.h"
#include "cli_runner.h"

namespace velmora {
namespace {

using ::testing::HasSubstr;
using testing::RunCli;
using ::testing::StartsWith;

QJsonObject ChartOf(const QStringList& arguments) {
  const testing::CliRun run = RunCli(arguments + QStringList{QStringLiteral("--format=json")});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  return QJsonDocument::fromJson(run.out).object();
}

QStringList Birth(const char* date, const char* time, const char* zone) {
  return {QStringLiteral("--date"), QLatin1String(date),      QStringLiteral("--time"),
          QLatin1String(time),      QStringLiteral("--zone"), QLatin1String(zone)};
}

TEST(CliBirthPlace, CastsFromTheCorrectedMomentAndSaysSo) {
  struct Case {
    const char* name;
    QStringList arguments;
    const char* cast;  // the moment the chart is cast from
    int hourBranch;
    int daylightMinutes;
    const char* line;  // the first line of the text reading
  };
  const QString longitude = QStringLiteral("--longitude=87.6");
  const Case cases[] = {
      {"daylight saving in China, 1988", Birth("1988-07-15", "09:30", "Asia/Shanghai"),
       "1988-07-15T08:30:00", 5, 60,
       "Cast from standard time, 15 July 1988, 08:30: clock time 09:30 in Asia/Shanghai, less "
       "1 h for daylight saving time."},
      {"the same zone in winter", Birth("1988-01-15", "09:30", "Asia/Shanghai"),
       "1988-01-15T09:30:00", 6, 0,
       "Cast from standard time, 15 January 1988, 09:30: clock time 09:30 in Asia/Shanghai, no "
       "daylight saving time."},
      {"Urumqi on Beijing time", Birth("1990-01-15", "12:00", "Asia/Shanghai") << longitude,
       "1990-01-15T09:50:24", 6, 0,
       "Cast from local mean solar time, 15 January 1990, 09:50:24: clock time 12:00 in "
       "Asia/Shanghai, no daylight saving time, less 2 h 9 min 36 s for longitude 87.6\u00b0E "
       "(the zone's meridian is 120\u00b0E)."},
      {"on the zone's meridian",
       Birth("1990-01-15", "12:00", "Asia/Shanghai") << QStringLiteral("--longitude=120"),
       "1990-01-15T12:00:00", 7, 0, "plus 0 s for longitude 120\u00b0E"},
      {"Dublin in winter, which its database counts as daylight saving time taken off",
       Birth("2020-01-15", "12:00", "Europe/Dublin"), "2020-01-15T12:00:00", 7, 0,
       "no daylight saving time"},
      {"Dublin in summer", Birth("2020-07-15", "12:00", "Europe/Dublin"), "2020-07-15T11:00:00", 7,
       60, "less 1 h for daylight saving time"},
      {"New York after the clocks went back, first time",
       Birth("2021-11-07", "01:30", "America/New_York") << QStringLiteral("--dst=on"),
       "2021-11-07T00:30:00", 1, 60, "less 1 h for daylight saving time"},
      {"New York after the clocks went back, second time",
       Birth("2021-11-07", "01:30", "America/New_York") << QStringLiteral("--dst=off"),
       "2021-11-07T01:30:00", 2, 0, "no daylight saving time"},
      {"a correction across midnight",
       Birth("1988-07-16", "00:30", "Asia/Shanghai")
           << longitude << QStringLiteral("--solar=apparent"),
       "1988-07-15T21:14:33", 12, 60, "less 5 min 51 s for the equation of time"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QJsonObject chart = ChartOf(c.arguments);
    const QJsonObject correction = chart[QStringLiteral("correction")].toObject();
    EXPECT_EQ(correction[QStringLiteral("cast")].toString(), QLatin1String(c.cast));
    EXPECT_EQ(correction[QStringLiteral("daylightMinutes")].toInt(), c.daylightMinutes);
    EXPECT_EQ(chart[QStringLiteral("facts")][QStringLiteral("hourBranch")].toInt(), c.hourBranch);
    // The date and time stay as given.
    EXPECT_EQ(chart[QStringLiteral("date")].toString(), c.arguments[1]);
    const testing::CliRun text = RunCli(c.arguments + QStringList{QStringLiteral("--format=text")});
    const QByteArray first = text.out.left(text.out.indexOf('\n'));
    EXPECT_THAT(first.toStdString(), HasSubstr(c.line));
  }
}

TEST(CliBirthPlace, EveryOutputSaysWhichMomentItWasCastFrom) {
  const QStringList birth = Birth("1988-07-15", "09:30", "Asia/Shanghai");
  const std::string line = "Cast from standard time, 15 July 1988, 08:30:";
  const testing::CliRun html = RunCli(birth + QStringList{QStringLiteral("--format=html")});
  EXPECT_THAT(html.out.toStdString(), HasSubstr("</h1>\n<p class=\"correction\">" + line));
  const testing::CliRun ansi = RunCli(birth + QStringList{QStringLiteral("--format=ansi")});
  static const QRegularExpression sgr(QStringLiteral("\x1b\\[[0-9;]*[mK]"));
  EXPECT_THAT(QString::fromUtf8(ansi.out).remove(sgr).toStdString(), StartsWith(line));
  // The heading after it names the moment cast, whose lunar date it gives.
  EXPECT_THAT(ansi.out.toStdString(), HasSubstr("15 July 1988, 08:30: lunar year 1988"));
  const QJsonObject correction = ChartOf(birth)[QStringLiteral("correction")].toObject();
  EXPECT_EQ(correction, QJsonDocument::fromJson(R"({"zone":"Asia/Shanghai",
      "clockTime":"1988-07-15T09:30:00","utcOffsetMinutes":540,"standardOffsetMinutes":480,
      "daylightMinutes":60,"standardTime":"1988-07-15T08:30:00","solar":"standard",
      "cast":"1988-07-15T08:30:00"})")
                            .object());
}

TEST(CliBirthPlace, RefusesWhatItCannotReadSayingWhatIsAccepted) {
  struct Case {
    const char* name;
    QStringList arguments;
    const char* message;
  };
  const Case cases[] = {
      {"a clock time the clocks skipped", Birth("2021-03-14", "02:30", "America/New_York"),
       "there was no 02:30 on 14 March 2021 in America/New_York, where the clocks went forward "
       "from 02:00 to 03:00; give a time the clocks showed."},
      {"a clock time the clocks showed twice", Birth("2021-11-07", "01:30", "America/New_York"),
       "01:30 on 7 November 2021 came twice in America/New_York, where the clocks went back "
       "from 02:00 to 01:00; say whether daylight saving time was in force with --dst on or "
       "--dst off."},
      {"an unknown zone", Birth("2000-02-04", "23:00", "Mars/Olympus"),
       "--zone \"Mars/Olympus\": unknown time zone; give a name from the time zone database"},
      {"an offset instead of a zone", Birth("2000-02-04", "23:00", "UTC+08:00"),
       "unknown time zone"},
      {"a longitude beyond 180",
       Birth("2000-02-04", "23:00", "Asia/Shanghai") << QStringLiteral("--longitude=181"),
       "--longitude \"181\": not a longitude; give degrees from -180 to 180, east positive"},
      {"a longitude that is no number",
       Birth("2000-02-04", "23:00", "Asia/Shanghai") << QStringLiteral("--longitude=87.6E"),
       "not a longitude"},
      {"a longitude without a zone",
       {QStringLiteral("--date=2000-02-04T23:00"), QStringLiteral("--longitude=87.6")},
       "--longitude needs --zone"},
      {"solar time without a longitude",
       Birth("2000-02-04", "23:00", "Asia/Shanghai") << QStringLiteral("--solar=mean"),
       "--solar needs --longitude"},
      {"an unknown solar time",
       Birth("2000-02-04", "23:00", "Asia/Shanghai") << QStringLiteral("--solar=true"),
       "--solar \"true\": use standard, mean or apparent."},
      {"an unknown --dst",
       Birth("2000-02-04", "23:00", "Asia/Shanghai") << QStringLiteral("--dst=yes"),
       "--dst \"yes\": use on or off."},
      {"a corrected moment past the calendar's end",
       Birth("2051-12-31", "22:30", "Asia/Tokyo") << QStringLiteral("--longitude=150"),
       "the corrected moment, 31 December 2051, 23:30, lies outside the lunar calendar"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const testing::CliRun run = RunCli(c.arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err.count('\n'), 1);
    EXPECT_THAT(run.err.toStdString(), HasSubstr(c.message));
  }
}

TEST(CliBirthPlace, BatchLinesNameTheirOwnZoneAndLongitude) {
  const QByteArray input =
      "1988-07-15 09:30 Asia/Shanghai\tsummer\n"
      "1990-01-15 12:00 Asia/Shanghai 87.6\n"
      "1990-01-15T12:00 Asia/Shanghai 87.6\n"
      "1988-07-15 09:30\n"
      "2021-11-07 01:30 America/New_York\n"
      "1988-07-15 09:30 Mars/Olympus\n"
      "1988-07-15 09:30 Asia/Shanghai 200\n";
  const testing::CliRun run = RunCli({QStringLiteral("--batch=-")}, input);
  EXPECT_EQ(run.exitCode, 1);
  const QList<QByteArray> lines = run.out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 7);
  const auto member = [&](int line, const char* name) {
    return QJsonDocument::fromJson(lines[line]).object().value(QLatin1String(name));
  };
  EXPECT_EQ(member(0, "id").toString(), QStringLiteral("summer"));
  EXPECT_EQ(member(0, "correction")[QStringLiteral("cast")].toString(),
            QStringLiteral("1988-07-15T08:30:00"));
  EXPECT_EQ(member(1, "correction")[QStringLiteral("cast")].toString(),
            QStringLiteral("1990-01-15T09:50:24"));
  EXPECT_EQ(lines[2], lines[1]);
  EXPECT_TRUE(member(3, "correction").isUndefined());
  EXPECT_THAT(member(4, "error").toString().toStdString(), HasSubstr("came twice"));
  EXPECT_THAT(member(5, "error").toString().toStdString(), StartsWith("unknown time zone"));
  EXPECT_THAT(member(6, "error").toString().toStdString(), StartsWith("not a longitude"));

  // The command line's place serves every line that names none; --dst settles the repeat.
  const testing::CliRun defaults =
      RunCli({QStringLiteral("--batch=-"), QStringLiteral("--zone=America/New_York"),
              QStringLiteral("--dst=off")},
             "2021-11-07 01:30\n1988-07-15 09:30 Asia/Shanghai\n");
  EXPECT_EQ(defaults.exitCode, 0) << defaults.err.toStdString();
  EXPECT_THAT(defaults.out.toStdString(), HasSubstr("\"cast\":\"2021-11-07T01:30:00\""));
  EXPECT_THAT(defaults.out.toStdString(), HasSubstr("\"cast\":\"1988-07-15T08:30:00\""));
}

// A zone's name of no zone's form (ROC, NZ, W-SU, EST, Japan) is that zone, as --zone takes it,
// never a city whose name it starts; other words are looked up as a city.
TEST(CliBirthPlace, BatchLinesNamingAZoneByANameOfNoZonesFormGetThatZone) {
  struct Case {
    const char* words;
    int offsetMinutes;  // the zone's on 15 January 1990, told apart from the city's
    bool city;
  };
  const Case cases[] = {
      {"ROC", 480, false},    {"NZ", 780, false},          {"GB", 0, false},
      {"Portugal", 0, false}, {"W-SU", 180, false},        {"EST", -300, false},
      {"Japan", 540, false},  {"PRC", 480, false},         {"Singapore", 480, false},
      {"GMT", 0, false},      {"japan 139.7", 540, false}, {"Urumqi", 360, true},
  };
  QByteArray input;
  for (const Case& c : cases) input += QByteArray("1990-01-15 12:00 ") + c.words + '\n';
  const testing::CliRun run = RunCli({QStringLiteral("--batch=-")}, input);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QList<QByteArray> lines = run.out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), static_cast<qsizetype>(std::size(cases)));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].words);
    const QJsonObject correction =
        QJsonDocument::fromJson(lines[static_cast<qsizetype>(i)])[QStringLiteral("correction")]
            .toObject();
    EXPECT_EQ(correction.value(QStringLiteral("utcOffsetMinutes")).toInt(-1),
              cases[i].offsetMinutes);
    EXPECT_EQ(correction.contains(QStringLiteral("place")), cases[i].city);
    // A zone without a longitude is cast from standard time; a city brings its own.
    EXPECT_EQ(
        correction.contains(QStringLiteral("longitude")),
        cases[i].city || std::string_view(cases[i].words).find(' ') != std::string_view::npos);
  }
}

// A line says itself whether daylight saving time was in force for an hour the clocks showed
// twice; without it the line is refused, saying how.
TEST(CliBirthPlace, BatchLinesSayWhetherDaylightSavingTimeWasInForce) {
  const QByteArray input =
      "1988-09-11 01:30 Asia/Shanghai dst=on\n"
      "1988-09-11 01:30 Asia/Shanghai dst=off\tsecond\n"
      "1988-09-11 01:30 Asia/Shanghai\n"
      "1988-09-11 01:30 PRC 116.4 dst=off\n"
      "1988-09-11 01:30 Asia/Shanghai dst=yes\n";
  const testing::CliRun run = RunCli({QStringLiteral("--batch=-")}, input);
  EXPECT_EQ(run.exitCode, 1);
  const QList<QByteArray> lines = run.out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 5);
  const auto member = [&](int line, const char* name) {
    return QJsonDocument::fromJson(lines[line]).object().value(QLatin1String(name));
  };
  EXPECT_EQ(member(0, "correction")[QStringLiteral("cast")].toString(),
            QStringLiteral("1988-09-11T00:30:00"));
  EXPECT_EQ(member(1, "correction")[QStringLiteral("cast")].toString(),
            QStringLiteral("1988-09-11T01:30:00"));
  EXPECT_EQ(member(1, "id").toString(), QStringLiteral("second"));
  EXPECT_THAT(member(2, "error").toString().toStdString(),
              HasSubstr("came twice in Asia/Shanghai, where the clocks went back from 02:00 to "
                        "01:00; say whether daylight saving time was in force with dst=on or "
                        "dst=off after the line's birth place"));
  EXPECT_EQ(member(3, "correction")[QStringLiteral("standardTime")].toString(),
            QStringLiteral("1988-09-11T01:30:00"));
  EXPECT_THAT(member(4, "error").toString().toStdString(), HasSubstr("write dst=on"));
}

// A batch that names its zones in turn, in any letter case and with unknown ones among them,
// answers each line as a batch naming that zone alone does.
TEST(CliBirthPlace, BatchLinesNamingZonesInTurnEachGetTheirOwnZone) {
  const std::array<const char*, 5> zones = {"Asia/Shanghai 87.6", "america/new_york",
                                            "Mars/Olympus", "Europe/London -0.13",
                                            "ASIA/SHANGHAI 87.6"};
  std::array<QByteArray, zones.size()> alone;
  QByteArray mixed;
  for (int i = 0; i < 400; ++i) {
    const QDateTime birth =
        QDateTime(QDate(1940, 3, 1), QTime(12, 0), Qt::UTC).addSecs(i * 9'876'543LL);
    const QByteArray line = birth.toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1() + ' ' +
                            zones[static_cast<std::size_t>(i) % zones.size()] + '\n';
    mixed += line;
    alone[static_cast<std::size_t>(i) % zones.size()] += line;
  }
  const QList<QByteArray> answers = RunCli({QStringLiteral("--batch=-")}, mixed).out.split('\n');
  ASSERT_EQ(answers.size(), 401);
  for (std::size_t z = 0; z < zones.size(); ++z) {
    const QList<QByteArray> own = RunCli({QStringLiteral("--batch=-")}, alone[z]).out.split('\n');
    for (qsizetype k = 0; k + 1 < own.size(); ++k) {
      const qsizetype line = k * static_cast<qsizetype>(zones.size()) + static_cast<qsizetype>(z);
      // The error objects number the line in its own file.
      if (own[k].startsWith("{\"line\"")) continue;
      ASSERT_EQ(answers.value(line), own[k]) << zones[z] << ", line " << line + 1;
    }
  }
}

// Births every five and a half days or so across the whole calendar, a few with identifiers and
// the last ones past its end.
QByteArray TenThousandBirths() {
  const QDateTime first(QDate(1901, 12, 31), QTime(23, 0), Qt::UTC);
  QByteArray births;
  for (int i = 0; i < 10'000; ++i) {
    const QDateTime birth = first.addSecs(60LL * (i * 7890LL + (i * 613LL) % 7890));
    births += birth.toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1();
    if (i % 1000 == 999) births += "\tbirth " + QByteArray::number(i);
    births += '\n';
  }
  return births;
}

TEST(CliBirthPlace, WithoutABirthPlaceEveryOutputIsAsBefore) {
  // The digests of what velmora-cli wrote before it knew of birth places; the terminal's since
  // every line of it lies whole on its paper, the page's since its red stands 4.5:1 on its paper.
  const testing::CliRun batch = RunCli({QStringLiteral("--batch=-")}, TenThousandBirths());
  EXPECT_EQ(QCryptographicHash::hash(batch.out, QCryptographicHash::Sha256).toHex(),
            "13cdeec4eb48598271ccbd27867598492931a00dd4198f1e9fff5536fc4394b6");
  const std::pair<const char*, const char*> formats[] = {
      {"text", "628c922b1ffc6b65"},
      {"ansi", "ed26096efde3550a"},
      {"html", "164dc5df18840cad"},
      {"json", "e3a0528dc41deef3"},
  };
  for (const auto& [format, digest] : formats) {
    SCOPED_TRACE(format);
    const testing::CliRun run =
        RunCli({QStringLiteral("--date=2000-02-04"), QStringLiteral("--time=23:00"),
                QStringLiteral("--color=always"), QStringLiteral("--format=") + format});
    EXPECT_EQ(QCryptographicHash::hash(run.out, QCryptographicHash::Sha256).toHex().left(16),
              digest);
  }
}

}  // namespace
}  // namespace velmora
