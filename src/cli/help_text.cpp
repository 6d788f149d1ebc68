// --help and the manual page's options and examples, from the one table of options.
#include "cli/options.h"

#include <QCommandLineOption>

#include <algorithm>
#include <string>
#include <utility>

#include "calendar/birth_calendar.h"
#include "cli/cli_messages.h"
#include "terminal/terminal_text.h"

namespace velmora {

namespace {

// The examples --help and the manual page show, "%1" for the program's name.
constexpr const char* kExamples[] = {
    "%1 --date 2000-02-04 --time 23:00",
    "%1 --date 2000-02-04 --time 23:00 --format json",
    "%1 --date 2000-02-04 --time 23:00 --color=never | less",
    "%1 --date 1985-07-19 --time 06:30 --format html > reading.html",
    "%1 --date 1985-07-19 --time 06:30 --chart board.png",
    "%1 --batch births.txt > charts.jsonl",
    "%1 --batch births.txt --jobs 1 > charts.jsonl",
    "%1 --date 1988-07-15 --time 09:30 --zone Asia/Shanghai",
    "%1 --date 1990-01-15T12:00 --zone Asia/Shanghai --longitude 87.6",
    "%1 --date 1990-01-15 --time 09:30 --place \"Springfield, Illinois\"",
    "%1 --places Springfield",
    "printf '2000-02-04 23:00\\n1985-07-19 06:30\\n' | %1 --batch -",
};

// The exit statuses, as --help and the manual page give them.
constexpr std::pair<const char*, const char*> kExitStatuses[] = {
    {"0", "success."},
    {"1",
     "the work was done only in part: a batch held bad lines (each answered by its error "
     "object), or standard output was closed or could not be written."},
    {"2",
     "nothing was cast: bad input, or a file that cannot be read or written; standard "
     "output and the --chart file are left untouched."},
};

constexpr const char* kDescription =
    "Casts a Chinese palace-and-star natal chart and prints its reading: the same chart, reading "
    "and board as the Velmora window. It accepts births from %1, local clock time.";
constexpr const char* kPresentMoment =
    "Without --date and --time the chart is cast for the present local moment; a part left out "
    "comes from the present moment too.";
constexpr const char* kAfterStatuses =
    "A batch stopped by SIGINT or SIGTERM writes every answer it has whole, says how many lines "
    "it answered, and ends as that signal ends a program. Every failure prints one line on "
    "standard error, \"%1: \", what is wrong and what is accepted.";

// `text` wrapped between words to `width` columns, each line after the first `indent` spaces in;
// the first line is the caller's to place.
QString Wrapped(const QString& text, int indent, int width) {
  const std::string lines = WrapToWidth(text.toStdString(), std::max(width - indent, 20));
  return QString::fromStdString(lines).replace(QLatin1Char('\n'),
                                               QLatin1Char('\n') + QString(indent, u' '));
}

// "-h, --help" or "--date <YYYY-MM-DD>", as the options list names an option.
QString OptionNames(const QCommandLineOption& option) {
  QStringList names;
  for (const QString& name : option.names()) {
    names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
  }
  QString shown = names.join(QStringLiteral(", "));
  if (!option.valueName().isEmpty()) shown += QStringLiteral(" <%1>").arg(option.valueName());
  return shown;
}

// roff: a backslash and a hyphen as themselves, and no line that starts as a request.
QString Roff(QString text) {
  text.replace(QLatin1Char('\\'), QStringLiteral("\\e"))
      .replace(QLatin1Char('-'), QStringLiteral("\\-"));
  if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
    text.prepend(QStringLiteral("\\&"));
  return text;
}

}  // namespace

QString HelpText(int columns) {
  // As wide as the terminal, up to 80 columns, one column kept free for terminals that wrap
  // at the last one.
  const int width = std::clamp(columns > 0 ? columns : 80, 40, 80) - 1;
  const bool twoColumns = width >= 60;
  constexpr int kNamesColumn = 34;   // where a description starts beside its option
  constexpr int kStackedIndent = 6;  // where it starts below it, on a narrow terminal
  QString text = QStringLiteral("Usage: %1 [options]\n").arg(kProgram);
  text +=
      Wrapped(QString::fromLatin1(kDescription).arg(QLatin1String(kSupportedBirthRange)), 0, width);
  text += QStringLiteral("\n\nOptions:\n");
  for (const QCommandLineOption* option : OptionList()) {
    const QString names = QStringLiteral("  ") + OptionNames(*option);
    if (twoColumns && names.size() < kNamesColumn) {
      text +=
          names.leftJustified(kNamesColumn) + Wrapped(option->description(), kNamesColumn, width);
    } else {
      text += names + QLatin1Char('\n') + QString(kStackedIndent, u' ') +
              Wrapped(option->description(), kStackedIndent, width);
    }
    text += QLatin1Char('\n');
  }
  text += QLatin1Char('\n') + Wrapped(QString::fromLatin1(kPresentMoment), 0, width);
  text += QStringLiteral("\n\nExamples:\n");
  for (const char* example : kExamples) {
    text += QStringLiteral("  ") + QString::fromLatin1(example).arg(kProgram) + QLatin1Char('\n');
  }
  text += QStringLiteral("\nExit status:\n");
  for (const auto& [status, meaning] : kExitStatuses) {
    text += QStringLiteral("  %1  ").arg(QLatin1String(status)) +
            Wrapped(QString::fromLatin1(meaning), 5, width) + QLatin1Char('\n');
  }
  text += Wrapped(QString::fromLatin1(kAfterStatuses).arg(kProgram), 0, width) + QLatin1Char('\n');
  return text;
}

QString ManPageOptions() {
  QString roff;
  for (const QCommandLineOption* option : OptionList()) {
    QStringList names;
    for (const QString& name : option->names()) {
      names << QStringLiteral("\\fB%1\\fR")
                   .arg(Roff((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) +
                             name));
    }
    roff += QStringLiteral(".TP\n") + names.join(QStringLiteral(", "));
    if (!option->valueName().isEmpty()) {
      roff += QStringLiteral(" \\fI%1\\fR").arg(Roff(option->valueName()));
    }
    roff += QLatin1Char('\n') + Roff(option->description()) + QLatin1Char('\n');
  }
  return roff;
}

QString ManPageExamples() {
  QString roff;
  for (const char* example : kExamples) {
    roff += Roff(QString::fromLatin1(example).arg(kProgram)) + QLatin1Char('\n');
  }
  return roff;
}

}  // namespace velmora
