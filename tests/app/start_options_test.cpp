#include "app/start_options.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <map>
#include <string>

namespace velmora {
namespace {

TEST(ChooseStartAction, OpensTheWindowOnlyWhereThereIsADisplay) {
  struct Case {
    const char* name;
    QStringList arguments;
    std::map<std::string, QString> environment;
    StartAction action;
  };
  const QString x11 = QStringLiteral(":0");
  const Case cases[] = {
      {"an X display", {"velmora"}, {{"DISPLAY", x11}}, StartAction::kOpenWindow},
      {"a Wayland display",
       {"velmora"},
       {{"WAYLAND_DISPLAY", "wayland-0"}},
       StartAction::kOpenWindow},
      {"a platform chosen for Qt",
       {"velmora"},
       {{"QT_QPA_PLATFORM", "offscreen"}},
       StartAction::kOpenWindow},
      {"a platform on the command line",
       {"velmora", "-platform", "offscreen"},
       {},
       StartAction::kOpenWindow},
      {"no display at all", {"velmora"}, {}, StartAction::kNoDisplay},
      {"variables set but empty",
       {"velmora"},
       {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}},
       StartAction::kNoDisplay},
      {"--help without a display", {"velmora", "--help"}, {}, StartAction::kPrintHelp},
      {"-h on a display", {"velmora", "-h"}, {{"DISPLAY", x11}}, StartAction::kPrintHelp},
      {"--version without a display", {"velmora", "--version"}, {}, StartAction::kPrintVersion},
      {"a word of neither the window's nor Qt's without a display",
       {"velmora", "--foo"},
       {},
       StartAction::kUnexpectedArgument},
      {"a date without a display", {"velmora", "2000-02-04"}, {}, StartAction::kUnexpectedArgument},
      {"Qt's options alone without a display",
       {"velmora", "-style", "fusion", "--reverse", "-platformtheme=gtk3"},
       {},
       StartAction::kNoDisplay},
      {"a word after Qt's option and its value",
       {"velmora", "-style", "fusion", "-bogus"},
       {},
       StartAction::kUnexpectedArgument},
      {"Qt's options before --version",
       {"velmora", "-style", "fusion", "--version"},
       {},
       StartAction::kPrintVersion},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto environment = [&](const char* name) {
      const auto it = c.environment.find(name);
      return it == c.environment.end() ? QString() : it->second;
    };
    EXPECT_EQ(ChooseStartAction(c.arguments, environment), c.action);
  }
}

TEST(StartTexts, SayWhatToDoInOneLineOrOnePage) {
  EXPECT_TRUE(VersionLine().startsWith(QLatin1String("Velmora ")));
  EXPECT_FALSE(NoDisplayLine().contains(QLatin1Char('\n')));
  EXPECT_TRUE(NoDisplayLine().contains(QLatin1String("velmora-cli")));
  for (const char* option : {"--help", "--version"})
    EXPECT_TRUE(StartHelpText().contains(QLatin1String(option))) << option;
}

// A word the window cannot use stops it with one line that says what it takes.
TEST(StartArguments, AWordTheWindowCannotUseIsRefusedInOneLine) {
  for (const bool display : {true, false})
    for (const char* word : {"2000-02-04", "--bogus"}) {
      SCOPED_TRACE(std::string(word) + (display ? " with a display" : " without one"));
      QProcess app;
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.remove(QStringLiteral("DISPLAY"));
      environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
      environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
      if (display)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
      const QTemporaryDir runtime;  // as a desktop session gives it, so Qt has nothing to remark
      environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
      app.setProcessEnvironment(environment);
      app.start(QStringLiteral(VELMORA_APP_PATH), {QString::fromLatin1(word)});
      ASSERT_TRUE(app.waitForFinished(30000));
      EXPECT_EQ(app.exitCode(), 2);
      const QString said = QString::fromUtf8(app.readAllStandardError());
      EXPECT_TRUE(said.startsWith(QStringLiteral("velmora: unexpected argument \"%1\"; the window "
                                                 "takes --help, --version")
                                      .arg(QLatin1String(word))))
          << said.toStdString();
      EXPECT_EQ(said.count(QLatin1Char('\n')), 1);
    }
}

}  // namespace
}  // namespace velmora
