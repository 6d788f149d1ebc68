// The real velmora-cli, run as a script runs it: standard output a pipe, exit status and both
// streams checked.
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "casting/birth_input.h"
#include "cli_runner.h"
#include "presentation/display_table.h"
#include "presentation/reading_writer.h"
#include "presentation/star_tables.h"
#include "presentation/styled_text_buffer.h"
#include "version.h"

namespace velmora {
namespace {

using testing::CliRun;
using ::testing::HasSubstr;
using testing::LinesOf;
using testing::NewYearEve2000;
using testing::RunCli;

QString Qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The reading of a birth written straight from the core into the in-memory box.
StyledTextBuffer ReadingOf(const BirthInput& birth) {
  PalaceChart chart;
  DisplayTable table;
  chart.SetBirthMoment(birth.Moment());
  chart.ComputeChart();
  BuildDisplayTable(chart, table);
  StyledTextBuffer box;
  WriteReading(table, box);
  return box;
}

void ExpectSuccess(const CliRun& run) {
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.err, QByteArray());
}

// --- the reading as text and in colour ---

TEST(CliReading, TextBeginsWithTheLifeBlockAndIsTheWholeReading) {
  const CliRun run = RunCli(NewYearEve2000({QStringLiteral("--format"), QStringLiteral("text")}));
  ExpectSuccess(run);
  const QStringList lines = LinesOf(QString::fromUtf8(run.out));
  ASSERT_GE(lines.size(), 7);
  EXPECT_EQ(lines[0], QStringLiteral("Place:Life"));
  EXPECT_EQ(lines[1], Qs(StarText(code::Life)));
  EXPECT_EQ(lines[2], QStringLiteral("Stars:Warrior,Minister,Fiery Star"));
  EXPECT_EQ(lines[3], QStringLiteral("Warrior:") + Qs(StarText(code::Warrior)));
  EXPECT_EQ(lines[6], QString());
  EXPECT_EQ(run.out.toStdString(), ReadingOf({{2000, 2, 4}, 23, 0}).PlainText());
  EXPECT_FALSE(run.out.contains('\x1b'));
}

TEST(CliReading, APipeGetsPlainTextUnlessColourIsAskedFor) {
  const CliRun text = RunCli(NewYearEve2000({QStringLiteral("--format"), QStringLiteral("text")}));
  const CliRun plain = RunCli(NewYearEve2000());
  ExpectSuccess(plain);
  EXPECT_EQ(plain.out, text.out);
}

// The text a terminal shows for ANSI output: every SGR sequence taken out.
QByteArray WithoutSgr(QByteArray ansi) {
  static const QRegularExpression sgr(QStringLiteral("\x1b\\[[0-9;]*[mK]"));
  return QString::fromUtf8(ansi).remove(sgr).toUtf8();
}

TEST(CliReading, AnsiColoursTheSameTextWithOnlyColourSequences) {
  const StyledTextBuffer reading = ReadingOf({{2000, 2, 4}, 23, 0});
  struct Case {
    const char* name;
    QList<std::pair<QString, QString>> environment;
    const char* lineStart;   // what puts each line on its paper
    const char* placeLabel;  // the bold red "Place:" of the first line
    const char* starLabel;   // the bold maroon label of the first star line
  };
  const Case cases[] = {
      {"the palette's fixed colours on white paper",
       {{QStringLiteral("TERM"), QStringLiteral("xterm-256color")}},
       "\x1b[0;38;5;16;48;5;231m\x1b[K",
       "\x1b[0;1;38;5;160;48;5;231mPlace:",
       "\x1b[0;1;38;5;88;48;5;231mWarrior:"},
      {"sixteen colours on the Linux console",
       {{QStringLiteral("TERM"), QStringLiteral("linux")}},
       "",
       "\x1b[0;1;91mPlace:",
       "\x1b[0;1;31mWarrior:"},
      {"24-bit colour on white paper",
       {{QStringLiteral("COLORTERM"), QStringLiteral("truecolor")}},
       "\x1b[0;38;2;0;0;0;48;2;255;255;255m\x1b[K",
       "\x1b[0;1;38;2;255;0;0;48;2;255;255;255mPlace:",
       "\x1b[0;1;38;2;128;0;0;48;2;255;255;255mWarrior:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CliRun whole = RunCli(
        NewYearEve2000({QStringLiteral("--format"), QStringLiteral("ansi")}), {}, c.environment);
    ExpectSuccess(whole);
    // A heading line, then the reading.
    const qsizetype firstBreak = whole.out.indexOf('\n');
    EXPECT_EQ(WithoutSgr(whole.out.left(firstBreak)),
              QByteArray("4 February 2000, 23:00: lunar year 2000, month 1, day 1; year stem 7, "
                         "branch 5"));
    CliRun run = whole;
    run.out = whole.out.mid(firstBreak + 1);
    EXPECT_TRUE(run.out.startsWith(QByteArray(c.lineStart) + c.placeLabel))
        << run.out.left(60).toStdString();
    EXPECT_TRUE(run.out.contains(c.starLabel));
    EXPECT_EQ(WithoutSgr(run.out).toStdString(), reading.PlainText());
    // No escape byte other than those starting a colour sequence.
    EXPECT_EQ(run.out.count("\x1b"), run.out.count("\x1b["));
  }
}

// Asking for colour is asking for the coloured reading, wherever the output goes.
TEST(CliReading, ColourAskedForOnAPipeGivesTheColouredReading) {
  const CliRun run = RunCli(NewYearEve2000({QStringLiteral("--color=always")}), {},
                            {{QStringLiteral("TERM"), QStringLiteral("xterm-256color")}});
  ExpectSuccess(run);
  EXPECT_TRUE(run.out.contains("\x1b[0;1;38;5;160;48;5;231mPlace:")) << run.out.left(80).data();
}

// On a terminal the reading is wrapped to its width whether or not it is coloured.
TEST(CliReading, OnATerminalColourIsChosenApartFromWrapping) {
  struct Case {
    const char* name;
    QStringList more;
    QList<std::pair<QString, QString>> environment;
    bool colour;
  };
  const Case cases[] = {
      {"by default", {}, {}, true},
      {"with NO_COLOR", {}, {{QStringLiteral("NO_COLOR"), QStringLiteral("1")}}, false},
      {"with --color=never", {QStringLiteral("--color=never")}, {}, false},
      {"with --color=always and NO_COLOR",
       {QStringLiteral("--color=always")},
       {{QStringLiteral("NO_COLOR"), QStringLiteral("1")}},
       true},
      {"with TERM=dumb", {}, {{QStringLiteral("TERM"), QStringLiteral("dumb")}}, false},
      {"without TERM", {}, {{QStringLiteral("TERM"), QString()}}, false},
      {"with --format ansi and TERM=dumb",
       {QStringLiteral("--format"), QStringLiteral("ansi")},
       {{QStringLiteral("TERM"), QStringLiteral("dumb")}},
       false},
      {"with --color=always and TERM=dumb",
       {QStringLiteral("--color=always")},
       {{QStringLiteral("TERM"), QStringLiteral("dumb")}},
       true},
  };
  const std::string plain = ReadingOf({{2000, 2, 4}, 23, 0}).PlainText();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CliRun run = testing::RunCliOnTerminal(NewYearEve2000(c.more), 60, c.environment);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.out.left(200).toStdString();
    EXPECT_EQ(run.out.contains('\x1b'), c.colour);
    QByteArray shown = WithoutSgr(run.out);
    for (const QByteArray& line : shown.split('\n')) EXPECT_LE(line.size(), 60) << line.data();
    ASSERT_TRUE(shown.startsWith("4 February 2000, 23:00: lunar year 2000,"));
    shown = shown.mid(shown.indexOf("Place:"));  // after the heading, wrapped too
    // Only line breaks were put in, in place of spaces.
    QByteArray unwrapped = shown;
    unwrapped.replace('\n', ' ');
    EXPECT_EQ(unwrapped.toStdString(),
              QByteArray::fromStdString(plain).replace('\n', ' ').toStdString());
  }
}

// --- JSON ---

TEST(CliJson, HoldsTheFactsAndRowsOfTheChart) {
  const CliRun run = RunCli(NewYearEve2000({QStringLiteral("--format"), QStringLiteral("json")}));
  ExpectSuccess(run);
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  const QJsonObject chart = document.object();
  EXPECT_EQ(chart.value(QStringLiteral("date")).toString(), QStringLiteral("2000-02-04"));
  EXPECT_EQ(chart.value(QStringLiteral("time")).toString(), QStringLiteral("23:00"));
  const QJsonObject facts =
      QJsonDocument::fromJson(
          R"({"yearStem":7,"yearBranch":5,"yearStemCode":7,"lunarMonth":1,"lunarDay":1,"hourBranch":1})")
          .object();
  EXPECT_EQ(chart.value(QStringLiteral("facts")).toObject(), facts);
  EXPECT_EQ(chart.value(QStringLiteral("bureau")).toInt(), 5);
  EXPECT_EQ(chart.value(QStringLiteral("lifeBranch")).toInt(), 3);

  const QJsonArray palaces = chart.value(QStringLiteral("palaces")).toArray();
  ASSERT_EQ(palaces.size(), 12);
  struct Row {
    int branch;
    int stem;
    const char* items;
    const char* names;
  };
  const Row rows[] = {
      {1, 5, "[25,44]", R"(["Marriage","Greedy Wolf"])"},
      {2, 6, "[24,40,45,62,71]", R"(["Siblings","Lucky","Big Mouth","Angel 1","Dissolute"])"},
      {3, 5, "[23,39,46,54]", R"(["Life","Warrior","Minister","Fiery Star"])"},
      {4, 6, "[34,38,47]", R"(["Parents","Sun","Beam"])"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("branch " + std::to_string(row.branch));
    const QJsonObject palace = palaces.at(row.branch - 1).toObject();
    EXPECT_EQ(palace.value(QStringLiteral("branch")).toInt(), row.branch);
    EXPECT_EQ(palace.value(QStringLiteral("stem")).toInt(), row.stem);
    EXPECT_EQ(palace.value(QStringLiteral("items")).toArray(),
              QJsonDocument::fromJson(row.items).array());
    EXPECT_EQ(palace.value(QStringLiteral("names")).toArray(),
              QJsonDocument::fromJson(row.names).array());
  }
  for (int branch = 1; branch <= 12; ++branch) {
    EXPECT_EQ(palaces.at(branch - 1).toObject().value(QStringLiteral("branch")).toInt(), branch);
  }
}

// --- HTML ---

TEST(CliHtml, IsAWellFormedPageWithTheBoardAndTheColouredReading) {
  const CliRun run = RunCli(NewYearEve2000({QStringLiteral("--format"), QStringLiteral("html")}));
  ExpectSuccess(run);
  EXPECT_TRUE(run.out.startsWith("<!DOCTYPE html>\n"));
  QXmlStreamReader xml(run.out);
  QStringList path;  // the open elements
  QString readingText;
  QString root;
  bool sawSvg = false;
  bool sawTitle = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      if (root.isEmpty()) root = xml.name().toString();
      if (xml.name() == QLatin1String("svg")) {
        sawSvg = true;
        EXPECT_EQ(xml.attributes().value(QStringLiteral("width")), QLatin1String("401"));
        EXPECT_EQ(xml.attributes().value(QStringLiteral("height")), QLatin1String("401"));
      }
      const bool reading =
          xml.name() == QLatin1String("section") &&
          xml.attributes().value(QStringLiteral("class")) == QLatin1String("reading");
      path << (reading ? QStringLiteral("reading") : xml.name().toString());
    } else if (xml.isEndElement()) {
      path.removeLast();
    } else if (xml.isCharacters() && path.contains(QStringLiteral("reading"))) {
      readingText += xml.text();
    } else if (xml.isCharacters() && !path.isEmpty() && path.last() == QLatin1String("title")) {
      sawTitle = true;
      EXPECT_EQ(xml.text(), QLatin1String("Velmora chart: 4 February 2000, 23:00"));
    }
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                               << xml.lineNumber();
  EXPECT_EQ(root, QStringLiteral("html"));
  EXPECT_TRUE(sawSvg);
  EXPECT_TRUE(sawTitle);
  // The reading's characters, between its markup, are exactly the text.
  EXPECT_EQ(readingText.trimmed(),
            QString::fromStdString(ReadingOf({{2000, 2, 4}, 23, 0}).PlainText()).trimmed());
  for (const char* colour :
       {"color:#ec0000;font-weight:bold", "color:#0000ff", "color:#800000;font-weight:bold"}) {
    EXPECT_TRUE(run.out.contains(colour)) << colour;
  }
}

// --- bad input ---

TEST(CliBadInput, GetsOneLineOnStandardErrorExitTwoAndNoOutputOrPicture) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.png")));
  QFile kept(dir.filePath(QStringLiteral("kept.png")));
  ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
  kept.write("the old picture");
  kept.close();

  const QString picture = dir.filePath(QStringLiteral("board.png"));
  const QString drawing = dir.filePath(QStringLiteral("board.svg"));
  struct Case {
    const char* name;
    QStringList arguments;
    const char* message;
  };
  const auto birth = [](const char* date, const char* time, QStringList more) {
    return QStringList{QStringLiteral("--date"), QString::fromUtf8(date), QStringLiteral("--time"),
                       QString::fromUtf8(time)} +
           more;
  };
  const QStringList png = {QStringLiteral("--chart"), picture};
  const QStringList svg = {QStringLiteral("--chart"), drawing};
  const Case cases[] = {
      {"a malformed date", birth("2000/2/4", "23:00", png),
       "--date \"2000/2/4\": not a date in the form YYYY-MM-DD (for example 2000-02-04)."},
      {"a time zone", birth("2000-02-04", "23:00+08:00", svg),
       "--time \"23:00+08:00\": the time is local clock time"},
      {"a time zone in the date",
       {QStringLiteral("--date"), QStringLiteral("2000-02-04T23:00Z")},
       "--date \"2000-02-04T23:00Z\": the time is local clock time"},
      {"the time twice", birth("2000-02-04T23:00", "23:00", png),
       "gives the time already; leave out --time"},
      {"a malformed time", birth("2000-02-04", "11pm", svg),
       "--time \"11pm\": not a time in the form HH:MM on the 24-hour clock (for example 23:00)."},
      {"30 February", birth("2000-02-30", "12:00", png),
       "--date \"2000-02-30\": February 2000 has no day 30; it has days 01 to 29."},
      {"month 13", birth("2000-13-01", "12:00", svg),
       "--date \"2000-13-01\": there is no month 13; months run from 01 to 12."},
      {"24:00", birth("2000-02-04", "24:00", png),
       "--time \"24:00\": there is no hour 24; hours run from 00 to 23."},
      {"the minute before the calendar", birth("1901-12-31", "22:59", png),
       "1901-12-31 22:59: this birth lies outside the lunar calendar; births from 31 December "
       "1901 23:00 to 31 December 2051 22:59 are accepted."},
      {"the minute after the calendar", birth("2051-12-31", "23:00", svg),
       "2051-12-31 23:00: this birth lies outside the lunar calendar"},
      {"a picture in a missing folder",
       birth("2000-02-04", "23:00",
             {QStringLiteral("--chart"), dir.filePath(QStringLiteral("missing/board.png"))}),
       "cannot write the chart to"},
      {"an SVG picture in a missing folder",
       birth("2000-02-04", "23:00",
             {QStringLiteral("--chart"), dir.filePath(QStringLiteral("missing/board.svg"))}),
       "board.svg\": No such file or directory."},
      {"a picture named like a folder",
       birth("2000-02-04", "23:00",
             {QStringLiteral("--chart"), dir.filePath(QStringLiteral("folder.png"))}),
       "folder.png\": that is a folder."},
      {"a bad date with a picture already there",
       birth("2000-02-31", "23:00", {QStringLiteral("--chart"), kept.fileName()}),
       "February 2000 has no day 31"},
      {"a picture of another type",
       birth("2000-02-04", "23:00",
             {QStringLiteral("--chart"), dir.filePath(QStringLiteral("b.jpg"))}),
       "give a file name ending in .png or .svg."},
      {"an unknown format",
       birth("2000-02-04", "23:00", {QStringLiteral("--format"), QStringLiteral("pdf")}),
       "--format \"pdf\": unknown format; use text, ansi, html or json."},
      {"an unknown option",
       {QStringLiteral("--sex"), QStringLiteral("female")},
       "--sex: there is no such option; the options are --help, --version, --date,"},
      {"a control character in the date", birth("2000\x1b[31m", "23:00", png),
       "--date \"2000?[31m\": not a date"},
      {"a missing batch file",
       {QStringLiteral("--batch"), dir.filePath(QStringLiteral("none.txt"))},
       "none.txt\": cannot read the births: No such file or directory."},
      {"a folder as the batch file",
       {QStringLiteral("--batch"), dir.path()},
       "cannot read the births: Is a directory."},
      {"no workers",
       {QStringLiteral("--batch"), QStringLiteral("-"), QStringLiteral("--jobs"),
        QStringLiteral("0")},
       "--jobs \"0\": give the number of workers, a whole number from 1 to 256."},
      {"workers for a single chart", birth("2000-02-04", "23:00", {"--jobs", "2"}),
       "--jobs goes with --batch"},
      {"a stray word after --version",
       {QStringLiteral("--version"), QStringLiteral("extra")},
       "unexpected argument \"extra\""},
      {"a stray word after --help",
       {QStringLiteral("--help"), QStringLiteral("extra")},
       "unexpected argument \"extra\""},
      {"a huge date", birth(QByteArray(100 * 1024, '7').constData(), "23:00", png),
       "--date \"7777777777"},
      {"a huge unknown option",
       {QStringLiteral("--") + QString(100 * 1024, QLatin1Char('x'))},
       "--xxxxxxxxxx"},
      {"a line separator and a bidirectional override in the time",
       birth("2000-02-04", "23\u2028:00\u202e", png), "--time \"23?:00?\": not a time"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CliRun run = RunCli(c.arguments);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, QByteArray()) << "nothing on standard output";
    EXPECT_TRUE(run.err.startsWith("velmora-cli: ")) << run.err.toStdString();
    EXPECT_THAT(run.err.toStdString(), HasSubstr(c.message));
    EXPECT_EQ(run.err.count('\n'), 1) << "one line: " << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(".\n")) << "a sentence";
    EXPECT_LT(run.err.size(), 400) << "arguments are not echoed whole";
    EXPECT_FALSE(QFile::exists(picture));
    EXPECT_FALSE(QFile::exists(drawing));
    // Nothing half-written is left beside the pictures either.
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
        2);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the old picture"));
    kept.close();
  }
}

TEST(CliBirths, ShortAndJoinedFormsCastTheSameChart) {
  const CliRun strict =
      RunCli(NewYearEve2000({QStringLiteral("--format"), QStringLiteral("json")}));
  ExpectSuccess(strict);
  for (const QStringList& arguments :
       {QStringList{"--date", "2000-2-4", "--time", "23:00", "--format", "json"},
        QStringList{"--date", "2000-02-04T23:00", "--format", "json"}}) {
    SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
    const CliRun run = RunCli(arguments);
    ExpectSuccess(run);
    EXPECT_EQ(run.out, strict.out);
  }
  const CliRun batch = RunCli({QStringLiteral("--batch"), QStringLiteral("-")},
                              "2000-02-04 23:00\n2000-2-4T23:00\n1985-7-19 6:30\n");
  ExpectSuccess(batch);
  const QList<QByteArray> lines = batch.out.split('\n');
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0], lines[1]);
  EXPECT_TRUE(lines[2].startsWith("{\"format\":1,\"date\":\"1985-07-19\",\"time\":\"06:30\""));
}

TEST(CliBirths, TheEdgesOfTheCalendarAreAccepted) {
  for (const char* birth : {"1901-12-31 23:00", "2051-12-31 22:59"}) {
    SCOPED_TRACE(birth);
    const QStringList parts = QString::fromUtf8(birth).split(QLatin1Char(' '));
    const CliRun run = RunCli({QStringLiteral("--date"), parts[0], QStringLiteral("--time"),
                               parts[1], QStringLiteral("--format"), QStringLiteral("json")});
    ExpectSuccess(run);
    EXPECT_EQ(QJsonDocument::fromJson(run.out).object().value(QStringLiteral("date")).toString(),
              parts[0]);
  }
}

TEST(CliBirths, WhatIsLeftOutComesFromThePresentMoment) {
  const QDate before = QDate::currentDate();
  const CliRun both = RunCli({QStringLiteral("--format"), QStringLiteral("json")});
  const CliRun timeOnly = RunCli({QStringLiteral("--time"), QStringLiteral("12:34"),
                                  QStringLiteral("--format"), QStringLiteral("json")});
  const QTime now = QTime::currentTime();
  const CliRun dateOnly = RunCli({QStringLiteral("--date"), QStringLiteral("2000-02-04"),
                                  QStringLiteral("--format"), QStringLiteral("json")});
  const QDate after = QDate::currentDate();
  for (const CliRun* run : {&both, &timeOnly, &dateOnly}) ExpectSuccess(*run);
  const auto member = [](const CliRun& run, const char* name) {
    return QJsonDocument::fromJson(run.out).object().value(QString::fromUtf8(name)).toString();
  };
  const QStringList today = {before.toString(Qt::ISODate), after.toString(Qt::ISODate)};
  EXPECT_TRUE(today.contains(member(both, "date")));
  EXPECT_TRUE(today.contains(member(timeOnly, "date")));
  EXPECT_EQ(member(timeOnly, "time"), QStringLiteral("12:34"));
  EXPECT_EQ(member(dateOnly, "date"), QStringLiteral("2000-02-04"));
  const QTime used = QTime::fromString(member(dateOnly, "time"), QStringLiteral("HH:mm"));
  ASSERT_TRUE(used.isValid());
  EXPECT_LE(std::abs(used.secsTo(now)), 120);
}

// --- batch ---

TEST(CliBatch, GivesOneJsonLinePerInputLineInOrder) {
  struct Line {
    const char* input;
    bool good;
  };
  const Line lines[] = {
      {"2000-02-04 23:00", true},  {"not a birth", false},      {"1985-07-19 06:30", true},
      {"2000-02-30 12:00", false}, {"2051-12-31 23:00", false}, {"1901-12-31 23:00", true},
      {"2000-02-04 24:00", false}, {"2051-12-31 22:59", true},
  };
  QByteArray input;
  for (const Line& line : lines) input += QByteArray(line.input) + '\n';
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("births.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(input);
  file.close();

  struct Source {
    const char* name;
    QStringList arguments;
    QByteArray stdinData;
  };
  const Source sources[] = {
      {"a file", {QStringLiteral("--batch"), file.fileName()}, {}},
      {"standard input", {QStringLiteral("--batch"), QStringLiteral("-")}, input},
      {"standard input, JSON asked for",
       {QStringLiteral("--batch=-"), QStringLiteral("--format=json")},
       input},
  };
  for (const Source& source : sources) {
    SCOPED_TRACE(source.name);
    const CliRun run = RunCli(source.arguments, source.stdinData);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(
        run.err,
        QByteArray("velmora-cli: 4 of 8 lines could not be cast; see their \"error\" objects.\n"));
    const QList<QByteArray> out = run.out.split('\n');
    ASSERT_EQ(out.size(), std::size(lines) + 1);
    EXPECT_EQ(out.last(), QByteArray());
    for (std::size_t i = 0; i < std::size(lines); ++i) {
      SCOPED_TRACE(lines[i].input);
      QJsonParseError error{};
      const QJsonObject object =
          QJsonDocument::fromJson(out[static_cast<qsizetype>(i)], &error).object();
      ASSERT_EQ(error.error, QJsonParseError::NoError);
      if (lines[i].good) {
        const QString date = object.value(QStringLiteral("date")).toString();
        const QString time = object.value(QStringLiteral("time")).toString();
        EXPECT_EQ(date + QLatin1Char(' ') + time, QString::fromUtf8(lines[i].input));
        EXPECT_EQ(object.value(QStringLiteral("palaces")).toArray().size(), 12);
      } else {
        EXPECT_EQ(object.value(QStringLiteral("line")).toInt(), static_cast<int>(i + 1));
        EXPECT_EQ(object.value(QStringLiteral("input")).toString(),
                  QString::fromUtf8(lines[i].input));
        EXPECT_FALSE(object.value(QStringLiteral("error")).toString().isEmpty());
      }
    }
  }
}

// Blank lines and comments get no answer; an identifier after a tab comes back in the answer.
TEST(CliBatch, SkipsCommentsAndBlankLinesAndGivesIdentifiersBack) {
  const QByteArray input =
      "# births to cast\n\n  \t\n2000-02-04 23:00\tanna 1\n  # indented comment\n"
      "2000-02-30 12:00\tbob\n1985-07-19\t06:30\n2000-02-04T23:00\tcarl \r\n";
  for (const char* jobs : {"1", "2"}) {
    SCOPED_TRACE(jobs);
    const CliRun run = RunCli(
        {QStringLiteral("--batch"), QStringLiteral("-"), QStringLiteral("--jobs"), jobs}, input);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(
        run.err,
        QByteArray("velmora-cli: 1 of 4 lines could not be cast; see their \"error\" objects.\n"));
    const QList<QByteArray> out = run.out.split('\n');
    ASSERT_EQ(out.size(), 5);
    const auto object = [&](int i) { return QJsonDocument::fromJson(out[i]).object(); };
    EXPECT_EQ(object(0).value(QStringLiteral("id")).toString(), QStringLiteral("anna 1"));
    EXPECT_TRUE(out[0].startsWith("{\"format\":1,\"id\":\"anna 1\",\"date\":\"2000-02-04\""));
    EXPECT_EQ(object(1).value(QStringLiteral("line")).toInt(), 6) << "lines keep their numbers";
    EXPECT_EQ(object(1).value(QStringLiteral("id")).toString(), QStringLiteral("bob"));
    EXPECT_FALSE(object(2).contains(QStringLiteral("id"))) << "a tab between date and time";
    EXPECT_EQ(object(2).value(QStringLiteral("time")).toString(), QStringLiteral("06:30"));
    EXPECT_EQ(object(3).value(QStringLiteral("id")).toString(), QStringLiteral("carl"));
    // Apart from its identifier an answer is the one the birth alone gets.
    QJsonObject carl = object(3);
    carl.remove(QStringLiteral("id"));
    QJsonObject anna = object(0);
    anna.remove(QStringLiteral("id"));
    EXPECT_EQ(carl, anna);
  }
}

// A byte order mark at the start of a file is no part of its first line; a line holding only a
// tab and an identifier keeps its identifier in its error.
TEST(CliBatch, SkipsAByteOrderMarkAndKeepsTheIdentifierOfALineWithoutABirth) {
  const CliRun run = RunCli({QStringLiteral("--batch"), QStringLiteral("-")},
                            "\xEF\xBB\xBF"
                            "2000-02-04 23:00\n\tanna\n\xEF\xBB\xBF"
                            "2000-02-04 23:00\n");
  EXPECT_EQ(run.exitCode, 1);
  const QList<QByteArray> lines = run.out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(QJsonDocument::fromJson(lines[0])[QStringLiteral("date")].toString(),
            QStringLiteral("2000-02-04"));
  const QJsonObject idOnly = QJsonDocument::fromJson(lines[1]).object();
  EXPECT_EQ(idOnly.value(QStringLiteral("id")).toString(), QStringLiteral("anna"));
  EXPECT_THAT(idOnly.value(QStringLiteral("error")).toString().toStdString(),
              HasSubstr("only an identifier"));
  // Only at the start of the input: elsewhere the mark is part of the line, and refused.
  EXPECT_TRUE(QJsonDocument::fromJson(lines[2]).object().contains(QStringLiteral("error")));
}

TEST(CliBatch, ReadsLineEndingsOfEveryKindAndSucceedsWhenAllLinesAreGood) {
  struct Case {
    const char* name;
    QByteArray input;
    int lines;
    int exitCode;
  };
  const QByteArray longLine = QByteArray(5000, 'x');
  const Case cases[] = {
      {"Windows line ends", "2000-02-04 23:00\r\n1985-07-19 06:30\r\n", 2, 0},
      {"no line break at the end", "2000-02-04 23:00\n1985-07-19 06:30", 2, 0},
      {"one line", "2000-02-04 23:00\n", 1, 0},
      {"nothing at all", "", 0, 0},
      {"an overlong line between good ones",
       "2000-02-04 23:00\n" + longLine + "\n1985-07-19 06:30\n", 3, 1},
      {"an overlong last line", "2000-02-04 23:00\n" + longLine, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CliRun run = RunCli({QStringLiteral("--batch"), QStringLiteral("-")}, c.input);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
    EXPECT_EQ(run.out.count('\n'), c.lines);
    EXPECT_TRUE(run.out.isEmpty() || run.out.endsWith('\n'));
    for (const QByteArray& line : run.out.split('\n')) {
      if (line.isEmpty()) continue;
      QJsonParseError error{};
      QJsonDocument::fromJson(line, &error);
      EXPECT_EQ(error.error, QJsonParseError::NoError) << line.left(200).toStdString();
      EXPECT_LT(line.size(), 2000) << "an overlong line is not echoed whole";
    }
  }
}

// Casting on several workers changes nothing but the speed: the same answers, error objects
// included, in the same order, with the same summary.
TEST(CliBatch, WorkersGiveTheSameAnswersAsOneThread) {
  QByteArray input;
  for (int i = 0; i < 100'000; ++i) {
    const int year = 1902 + i % 150;
    const int month = 1 + i % 12;
    const int day = 1 + i % 31;
    // Some days do not exist in their month, and hour 24 is refused.
    input += QByteArray::number(year) + '-' + QByteArray::number(100 + month).mid(1) + '-' +
             QByteArray::number(100 + day).mid(1) + ' ' + QByteArray::number(100 + i % 25).mid(1) +
             ':' + QByteArray::number(100 + i % 60).mid(1);
    input += i % 1000 == 0 ? QByteArray(300, 'x') + "\r\n" : QByteArray(i % 7 == 0 ? "\r\n" : "\n");
  }
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("births.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(input);
  file.close();
  const CliRun one = RunCli(
      {QStringLiteral("--batch"), file.fileName(), QStringLiteral("--jobs"), QStringLiteral("1")});
  ASSERT_TRUE(one.finished);
  EXPECT_EQ(one.exitCode, 1);
  EXPECT_EQ(one.out.count('\n'), 100'000);
  for (const char* jobs : {"2", "3"}) {
    SCOPED_TRACE(jobs);
    const CliRun many = RunCli({QStringLiteral("--batch"), file.fileName(),
                                QStringLiteral("--jobs"), QString::fromLatin1(jobs)});
    ASSERT_TRUE(many.finished);
    EXPECT_EQ(many.exitCode, one.exitCode);
    EXPECT_EQ(many.err, one.err);
    EXPECT_TRUE(many.out == one.out) << "the answers differ";
  }
  const CliRun piped = RunCli({QStringLiteral("--batch"), QStringLiteral("-")}, input);
  EXPECT_TRUE(piped.out == one.out) << "standard input on the default workers";
}

// A birth piped in slowly is answered before the next one comes, on one thread or several.
TEST(CliBatch, AnswersEachLineAsItComes) {
  for (const char* jobs : {"1", "2"}) {
    SCOPED_TRACE(jobs);
    QProcess process;
    process.start(QStringLiteral(VELMORA_CLI_PATH),
                  {QStringLiteral("--batch"), QStringLiteral("-"), QStringLiteral("--jobs"),
                   QString::fromLatin1(jobs)});
    ASSERT_TRUE(process.waitForStarted(30'000));
    QByteArray out;
    for (const char* birth : {"2000-02-04 23:00\n", "not a birth\n", "1985-07-19 06:30\n"}) {
      process.write(birth);
      const int before = static_cast<int>(out.count('\n'));
      ASSERT_TRUE(testing::WaitUntil(process, out, before + 1)) << "no answer to " << birth;
    }
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30'000));
    EXPECT_EQ(process.exitCode(), 1);
  }
}

// --- version and help ---

TEST(CliInformation, VersionAndHelp) {
  const CliRun version = RunCli({QStringLiteral("--version")});
  ExpectSuccess(version);
  EXPECT_EQ(version.out, QByteArray("Velmora ") + kVersion + '\n');
  const CliRun help = RunCli({QStringLiteral("--help")});
  ExpectSuccess(help);
  EXPECT_TRUE(help.out.startsWith("Usage: velmora-cli [options]\n"));
  EXPECT_TRUE(help.out.contains("Examples:"));
}

// --- pictures ---

TEST(CliChart, WritesThePngOfTheWindowsDrawing) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("board.PNG"));
  QFile old(path);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("an older file that the picture replaces");
  old.close();
  const CliRun run = RunCli(NewYearEve2000(
      {QStringLiteral("--chart"), path, QStringLiteral("--format"), QStringLiteral("text")}));
  ExpectSuccess(run);
  EXPECT_TRUE(run.out.startsWith("Place:Life\n")) << "the reading is printed as well";
  QImage image;
  ASSERT_TRUE(image.load(path, "PNG"));
  EXPECT_EQ(image.size(), QSize(401, 401));
  EXPECT_EQ(image.pixelColor(200, 150), QColor(Qt::white)) << "inside the central block";
  EXPECT_EQ(image.pixelColor(50, 200), QColor(Qt::black)) << "the middle line on the left";
  EXPECT_EQ(image.pixelColor(200, 50), QColor(Qt::black)) << "the middle line at the top";
  EXPECT_EQ(image.pixelColor(400, 400), QColor(Qt::black)) << "the bottom right corner";
  // The cell of branch 3, the Life palace, holds text below its top edge; the empty centre none.
  bool inked = false;
  for (int y = 302; y < 320; ++y) {
    for (int x = 4; x < 40; ++x) inked |= image.pixelColor(x, y) != QColor(Qt::white);
  }
  EXPECT_TRUE(inked);
}

TEST(CliChart, WritesTheSvgDrawingAsAWellFormedDocument) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("board.svg"));
  const CliRun run = RunCli(NewYearEve2000(
      {QStringLiteral("--chart"), path, QStringLiteral("--format"), QStringLiteral("json")}));
  ExpectSuccess(run);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  QStringList texts;
  QString root;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && root.isEmpty()) root = xml.name().toString();
    if (xml.isCharacters() && !xml.isWhitespace()) texts << xml.text().toString();
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(root, QStringLiteral("svg"));
  for (const char* name :
       {"Life", "Warrior", "Minister", "Fiery Star", "Marriage", "Greedy Wolf"}) {
    EXPECT_TRUE(texts.contains(QString::fromUtf8(name))) << name;
  }
}

// --- where the output goes ---

// Runs velmora-cli with its standard output appended to `outputFile` and its standard input
// read from `inputFile` (none when empty).
CliRun RunCliInto(const QStringList& arguments, const QString& outputFile,
                  const QString& inputFile = {}) {
  QProcess process;
  process.setStandardOutputFile(outputFile, QIODevice::Append);
  if (!inputFile.isEmpty()) process.setStandardInputFile(inputFile);
  process.start(QStringLiteral(VELMORA_CLI_PATH), arguments);
  CliRun run;
  if (!process.waitForStarted(30'000) || !process.waitForFinished(60'000)) return run;
  run.finished = process.exitStatus() == QProcess::NormalExit;
  run.exitCode = process.exitCode();
  run.err = process.readAllStandardError();
  return run;
}

TEST(CliOutput, ABatchIsNeverAppendedToItsOwnInput) {
  QTemporaryDir dir;
  const QString births = dir.filePath(QStringLiteral("births.txt"));
  const QString alias = dir.filePath(QStringLiteral("alias.txt"));
  QFile file(births);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("2000-02-04 23:00\n1985-07-19 06:30\n");
  file.close();
  ASSERT_TRUE(QFile::link(births, alias));
  struct Case {
    const char* name;
    QStringList arguments;
    QString input;
  };
  const Case cases[] = {
      {"the file by name", {QStringLiteral("--batch"), births}, {}},
      {"the file by another name", {QStringLiteral("--batch"), alias}, {}},
      {"the file as standard input", {QStringLiteral("--batch"), QStringLiteral("-")}, births},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CliRun run = RunCliInto(c.arguments, births, c.input);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.err.toStdString(), HasSubstr("send the answers to another file."));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("2000-02-04 23:00\n1985-07-19 06:30\n"));
    file.close();
  }
  // Another file takes the answers as usual.
  const CliRun run =
      RunCliInto({QStringLiteral("--batch"), births}, dir.filePath(QStringLiteral("charts.jsonl")));
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
}

TEST(CliOutput, AClosedStandardOutputIsReportedBeforeAnyWork) {
  QTemporaryDir dir;
  const QString picture = dir.filePath(QStringLiteral("board.png"));
  for (const QStringList& arguments :
       {NewYearEve2000({QStringLiteral("--chart"), picture}), QStringList{"--version"}}) {
    SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
    QProcess process;
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\" >&-"),
                              QStringLiteral(VELMORA_CLI_PATH)} +
                      arguments);
    ASSERT_TRUE(process.waitForFinished(60'000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAllStandardError(),
              QByteArray("velmora-cli: standard output is closed; give the output somewhere to "
                         "go, such as a file or /dev/null.\n"));
    EXPECT_FALSE(QFile::exists(picture));
  }
}

TEST(CliChart, ATargetThatIsNotARegularFileIsRefusedAndLeftAlone) {
  QTemporaryDir dir;
  const QString pipe = dir.filePath(QStringLiteral("pipe"));
  const QString link = dir.filePath(QStringLiteral("board.svg"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(pipe, link));
  const CliRun run = RunCli(NewYearEve2000({QStringLiteral("--chart"), link}));
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, QByteArray());
  EXPECT_THAT(run.err.toStdString(), HasSubstr("board.svg\": that is not a regular file"));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_FALSE(QFileInfo(pipe).isFile());
}

// Without a cache folder that it can write, the font machinery still keeps quiet: standard error
// holds velmora-cli's own line or nothing.
TEST(CliChart, APngWithoutAWritableCacheFolderLeavesStandardErrorToVelmora) {
  QTemporaryDir dir;
  // Fonts whose cache can only go to the user's cache folder, which cannot be made.
  const QString config = dir.filePath(QStringLiteral("fonts.conf"));
  QFile file(config);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "<?xml version=\"1.0\"?>\n<fontconfig>\n"
      "  <dir>/usr/share/fonts/truetype/dejavu</dir>\n"
      "  <cachedir prefix=\"xdg\">fontconfig</cachedir>\n</fontconfig>\n");
  file.close();
  const QList<std::pair<QString, QString>> environment = {
      {QStringLiteral("FONTCONFIG_FILE"), config},
      {QStringLiteral("XDG_CACHE_HOME"), QStringLiteral("/proc/velmora-no-cache")},
      {QStringLiteral("HOME"), QStringLiteral("/proc/velmora-no-home")},
  };
  const QString picture = dir.filePath(QStringLiteral("board.png"));
  const CliRun drawn =
      RunCli(NewYearEve2000({QStringLiteral("--chart"), picture}), {}, environment);
  ExpectSuccess(drawn);
  EXPECT_TRUE(QImage(picture).size() == QSize(401, 401));
  const CliRun refused = RunCli(
      NewYearEve2000({QStringLiteral("--chart"), dir.filePath(QStringLiteral("no/board.png"))}), {},
      environment);
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_TRUE(refused.err.startsWith("velmora-cli: cannot write the chart"))
      << refused.err.toStdString();
  EXPECT_EQ(refused.err.count('\n'), 1);
}

}  // namespace
}  // namespace velmora
