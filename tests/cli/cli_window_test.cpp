// The command line prints, line for line, the reading the window writes for the same birth.
#include <QDateEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "cli_runner.h"

namespace velmora {
namespace {

using testing::CliRun;
using testing::LinesOf;
using testing::RunCli;

// Sets the window's pickers, presses Run and gives what the report box then holds.
QString WindowReading(TfrmMain& window, QDate date, QTime time) {
  auto* datePicker = window.findChild<QDateEdit*>(QStringLiteral("dtpDate"));
  auto* timePicker = window.findChild<QTimeEdit*>(QStringLiteral("dtpTime"));
  auto* run = window.findChild<QPushButton*>(QStringLiteral("Button1"));
  auto* report = window.findChild<QTextEdit*>(QStringLiteral("RichEdit1"));
  if (datePicker == nullptr || timePicker == nullptr || run == nullptr || report == nullptr) {
    ADD_FAILURE() << "the window lacks one of its controls";
    return {};
  }
  datePicker->setDate(date);
  timePicker->setTime(time);
  run->click();
  return report->toPlainText();
}

TEST(CliAndWindow, PrintTheSameReadingLineForLine) {
  struct Case {
    QDate date;
    QTime time;
  };
  const Case cases[] = {
      {QDate(2000, 2, 4), QTime(23, 0)},    {QDate(1901, 12, 31), QTime(23, 0)},
      {QDate(2051, 12, 31), QTime(22, 59)}, {QDate(2020, 5, 23), QTime(10, 0)},
      {QDate(1985, 7, 19), QTime(6, 30)},   {QDate(2034, 1, 10), QTime(12, 0)},
  };
  TfrmMain window;
  for (const Case& c : cases) {
    const QString date = c.date.toString(Qt::ISODate);
    const QString time = c.time.toString(QStringLiteral("HH:mm"));
    SCOPED_TRACE((date + QLatin1Char(' ') + time).toStdString());
    const QString shown = WindowReading(window, c.date, c.time);
    const CliRun run = RunCli({QStringLiteral("--date"), date, QStringLiteral("--time"), time,
                               QStringLiteral("--format"), QStringLiteral("text")});
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList printed = LinesOf(QString::fromUtf8(run.out));
    const QStringList written = LinesOf(shown);
    ASSERT_FALSE(written.isEmpty());
    const qsizetype common = std::min(printed.size(), written.size());
    for (qsizetype i = 0; i < common; ++i) {
      ASSERT_EQ(printed[i].toStdString(), written[i].toStdString()) << "line " << i + 1;
    }
    EXPECT_EQ(printed.size(), written.size());
  }
}

}  // namespace
}  // namespace velmora
