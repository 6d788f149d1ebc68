#include "cli/options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "places/geonames_places.h"

namespace velmora {
namespace {

using ::testing::HasSubstr;

GeonamesPlaces& Cities() {
  static GeonamesPlaces cities;
  return cities;
}

QStringList Args(std::initializer_list<const char*> words) {
  QStringList list = {QStringLiteral("velmora-cli")};
  for (const char* word : words) list << QString::fromUtf8(word);
  return list;
}

TEST(CommandLineReading, TakesTheOptionsOfTheTool) {
  CommandLineRequest request;
  QString error;
  ASSERT_TRUE(ReadCommandLine(
      Args({"--date", "2000-02-04", "--time=23:00", "--format", "json", "--chart", "board.SVG"}),
      Cities(), request, error))
      << error.toStdString();
  EXPECT_EQ(request.date, "2000-02-04");
  EXPECT_EQ(request.time, "23:00");
  EXPECT_EQ(request.format, OutputFormat::kJson);
  EXPECT_EQ(request.chartPath, QStringLiteral("board.SVG"));
  EXPECT_EQ(request.chartKind, ChartFileKind::kSvg);
  EXPECT_FALSE(request.batchPath.has_value());

  // However long the name, its ending says what it is; the file system judges the length.
  const std::string longName = std::string(65000, 'b') + ".svg";
  ASSERT_TRUE(ReadCommandLine(Args({"--chart", longName.c_str()}), Cities(), request, error));
  EXPECT_EQ(request.chartKind, ChartFileKind::kSvg);

  ASSERT_TRUE(ReadCommandLine(Args({"--batch", "-"}), Cities(), request, error))
      << error.toStdString();
  EXPECT_EQ(request.batchPath, QStringLiteral("-"));
  EXPECT_FALSE(request.date.has_value());
  EXPECT_FALSE(request.format.has_value());

  ASSERT_TRUE(ReadCommandLine(Args({}), Cities(), request, error));
  EXPECT_FALSE(request.date.has_value());
  EXPECT_FALSE(request.time.has_value());
  EXPECT_TRUE(request.chartPath.isEmpty());
}

TEST(CommandLineReading, HelpAndVersionWinOverEverythingElse) {
  CommandLineRequest request;
  QString error;
  ASSERT_TRUE(ReadCommandLine(Args({"--date", "nonsense", "--help"}), Cities(), request, error));
  EXPECT_TRUE(request.help);
  ASSERT_TRUE(ReadCommandLine(Args({"-h"}), Cities(), request, error));
  EXPECT_TRUE(request.help);
  ASSERT_TRUE(ReadCommandLine(Args({"--version", "--format", "bogus"}), Cities(), request, error));
  EXPECT_TRUE(request.version);
}

TEST(CommandLineReading, RefusesWhatItCannotDoSayingWhatItTakes) {
  struct Case {
    const char* name;
    QStringList arguments;
    const char* because;
  };
  const Case cases[] = {
      {"an unknown option", Args({"--colour"}),
       "--colour: there is no such option; the options are --help, --version, --date, "
       "--time, --format, --color, --chart, --batch, --jobs, --place, --zone, --longitude, "
       "--solar, --dst, --places and --zones."},
      {"an unknown short option", Args({"-x"}), "-x: there is no such option"},
      {"a missing value", Args({"--format"}),
       "--format needs a value after it: text|ansi|html|json."},
      {"a stray word", Args({"2000-02-04"}),
       "unexpected argument \"2000-02-04\"; give the birth as --date"},
      {"an unknown format", Args({"--format", "xml"}), "use text, ansi, html or json"},
      {"a format in capitals", Args({"--format", "JSON"}), "use text, ansi, html or json"},
      {"a picture of another type", Args({"--chart", "board.jpg"}), "ending in .png or .svg"},
      {"a picture without a name", Args({"--chart", ""}), "ending in .png or .svg"},
      {"a date twice", Args({"--date", "2000-02-04", "--date", "2000-02-05"}),
       "--date is given more than once"},
      {"a batch with a date", Args({"--batch", "-", "--date", "2000-02-04"}),
       "does not go with --date"},
      {"a batch with a picture", Args({"--batch", "-", "--chart", "a.png"}),
       "does not go with --date, --time or --chart"},
      {"a batch as text", Args({"--batch", "-", "--format", "text"}),
       "--batch writes JSON Lines only"},
      {"a batch without a file", Args({"--batch", ""}), "needs a file of births"},
      {"workers with a blank", Args({"--batch", "-", "--jobs", " 2"}), "a whole number from 1"},
      {"workers with a sign", Args({"--batch", "-", "--jobs", "+2"}), "a whole number from 1"},
      {"a city and a zone", Args({"--place", "Urumqi", "--zone", "Asia/Urumqi"}),
       "--place gives the time zone and longitude of its city; leave out --zone"},
      {"a city no one knows", Args({"--place", "Qwxyz"}),
       "--place \"Qwxyz\": no city of 15,000 people or more by that name"},
      {"a list with a birth", Args({"--places", "York", "--date", "2000-02-04"}),
       "--places lists and exits; give it without --date."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommandLineRequest request;
    QString error;
    EXPECT_FALSE(ReadCommandLine(c.arguments, Cities(), request, error));
    EXPECT_THAT(error.toStdString(), HasSubstr(c.because));
    EXPECT_FALSE(error.contains(QLatin1Char('\n')));
  }
}

TEST(DefaultFormat, IsAnsiOnATerminalOnly) {
  EXPECT_EQ(DefaultFormat(true), OutputFormat::kAnsi);
  EXPECT_EQ(DefaultFormat(false), OutputFormat::kText);
}

TEST(UseColour, FollowsTheChoiceThenTheTerminalAndNoColor) {
  struct Case {
    ColorChoice choice;
    bool terminal;
    bool ansiAsked;
    const char* noColor;
    const char* term;
    bool colour;
  };
  const Case cases[] = {
      {ColorChoice::kAuto, true, false, nullptr, "xterm", true},
      {ColorChoice::kAuto, true, false, "", "xterm", true},
      {ColorChoice::kAuto, true, false, "1", "xterm", false},
      {ColorChoice::kAuto, true, false, nullptr, "dumb", false},
      {ColorChoice::kAuto, true, false, nullptr, nullptr, false},
      {ColorChoice::kAuto, true, false, nullptr, "", false},
      {ColorChoice::kAuto, true, true, nullptr, "dumb", false},
      {ColorChoice::kAuto, false, false, nullptr, "xterm", false},
      {ColorChoice::kAuto, false, true, nullptr, "xterm", true},
      {ColorChoice::kAuto, false, true, nullptr, nullptr, true},
      {ColorChoice::kAuto, false, true, "1", "xterm", false},
      {ColorChoice::kAlways, false, false, "1", "xterm", true},
      {ColorChoice::kAlways, true, false, nullptr, "dumb", true},
      {ColorChoice::kNever, true, true, nullptr, "xterm", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << static_cast<int>(c.choice) << " terminal " << c.terminal << " ansi "
                 << c.ansiAsked << " NO_COLOR " << (c.noColor ? c.noColor : "unset") << " TERM "
                 << (c.term ? c.term : "unset"));
    EXPECT_EQ(UseColour(c.choice, c.terminal, c.ansiAsked, c.noColor, c.term), c.colour);
  }
}

TEST(HelpText, NamesTheProgramPlainlyAndShowsExamples) {
  const QString help = HelpText();
  EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: velmora-cli [options]\n")));
  for (const char* part :
       {"--date <YYYY-MM-DD>", "--time <HH:MM>", "--format <text|ansi|html|json>",
        "--chart <FILE.png|FILE.svg>", "--batch <FILE|->", "--color <auto|always|never>",
        "--jobs <N>", "--version", "Examples:", "velmora-cli --date 2000-02-04 --time 23:00",
        "31 December 1901 23:00 to 31 December 2051 22:59", "Exit status"}) {
    EXPECT_THAT(help.simplified().toStdString(), HasSubstr(part));
  }
  EXPECT_EQ(help.count(QStringLiteral("Exit status")), 1);
  // As wide as the terminal, up to 80 columns; only the examples' command lines may be wider.
  for (const int columns : {0, 40, 60, 80, 200}) {
    SCOPED_TRACE(columns);
    const QString text = HelpText(columns);
    EXPECT_EQ(text.simplified(), HelpText().simplified()) << "the same words at every width";
    for (const QString& line : text.split(QLatin1Char('\n'))) {
      const bool example = line.startsWith(QStringLiteral("  velmora-cli ")) ||
                           line.startsWith(QStringLiteral("  printf "));
      if (!example) {
        EXPECT_LE(line.size(), columns == 0 ? 80 : std::min(columns, 80)) << line.toStdString();
      }
    }
  }
}

}  // namespace
}  // namespace velmora
