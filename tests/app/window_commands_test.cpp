// The window's commands: Enter, the shortcuts and menus, saving and printing the reading, undo
// after a Run, the reading's colours in a dark colour scheme.
#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPalette>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

#include "app_format_probe.h"
#include "app_test_support.h"
#include "casting/chart_report.h"
#include "main_window_fixture.h"
#include "version.h"

namespace velmora {
namespace {

using testing::AnswerSaveDialog;
using testing::BoardMenuItems;
using testing::FormatAt;
using testing::kEleven;
using testing::kNewYear2000;
using testing::ModalWatcher;
using testing::WaitFor;

// The window, active, so that its shortcuts and the keyboard focus work as for a user.
class WindowCommandsTest : public testing::MainWindowTest {
 protected:
  WindowCommandsTest() { Activate(); }

  void Activate() {
    window_.show();
    window_.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
  }

  QAction* Action(const char* name) {
    auto* action = window_.findChild<QAction*>(QLatin1String(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
  }

  // The entries of the popup menu that `open` brings up, read and closed again.
  static QStringList MenuOpenedBy(const std::function<void()>& open) {
    QStringList items;
    QTimer::singleShot(50, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      for (const QAction* action : menu->actions()) items << action->text();
      menu->close();
    });
    open();
    EXPECT_TRUE(WaitFor([&] { return !items.isEmpty(); }, 2000));
    return items;
  }
};

// --- the keyboard ---

TEST_F(WindowCommandsTest, EnterRunsFromEveryControlButTheReadingBox) {
  struct Case {
    const char* name;
    QWidget* target;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool runs;
  };
  const Case cases[] = {
      {"Enter in the date field", date_, Qt::Key_Return, Qt::NoModifier, true},
      {"keypad Enter in the date field", date_, Qt::Key_Enter, Qt::KeypadModifier, true},
      {"Enter in the time field", time_, Qt::Key_Return, Qt::NoModifier, true},
      {"Enter on a radio button", male_, Qt::Key_Return, Qt::NoModifier, true},
      {"Enter on Run", run_, Qt::Key_Return, Qt::NoModifier, true},
      {"keypad Enter on the board", image_, Qt::Key_Enter, Qt::KeypadModifier, true},
      {"Enter in the reading box breaks the line", reading_, Qt::Key_Return, Qt::NoModifier, false},
  };
  EXPECT_TRUE(run_->isDefault());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBirth(kNewYear2000, kEleven);
    reading_->clear();
    c.target->setFocus();
    QTest::keyClick(c.target, c.key, c.modifiers);
    const QString first = Reading().firstBlock().text();
    if (c.runs) {
      EXPECT_EQ(first, "Place:Life");
      EXPECT_EQ(Reading().firstBlock().next().next().text(), "Stars:Warrior,Minister,Fiery Star");
    } else {
      EXPECT_EQ(Reading().toPlainText(), "\n");
    }
  }
}

TEST_F(WindowCommandsTest, EveryShortcutReachesItsActionFromEveryControl) {
  struct Case {
    const char* action;
    QKeySequence keys;
    const char* dialog;  // the dialog the command opens, closed again unanswered
  };
  const Case cases[] = {
      {"actCopyChart", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), nullptr},
      {"actSaveChart", QKeySequence(Qt::CTRL | Qt::Key_S), "QFileDialog"},
      {"actSaveReading", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), "QFileDialog"},
      {"actPrintReading", QKeySequence(Qt::CTRL | Qt::Key_P), "QPrintDialog"},
      {"actBirthPlace", QKeySequence(Qt::CTRL | Qt::Key_B), "velmora::BirthPlaceDialog"},
      {"actAbout", QKeySequence(Qt::Key_F1), "QMessageBox"},
      {"actQuit", QKeySequence(Qt::CTRL | Qt::Key_Q), nullptr},
  };
  SetBirth(kNewYear2000, kEleven);
  ClickRun();  // the reading's commands need a reading
  ModalWatcher watcher;
  for (QWidget* focus : {static_cast<QWidget*>(date_), static_cast<QWidget*>(reading_),
                         static_cast<QWidget*>(image_)}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(focus->objectName().toStdString() + ": " + c.action);
      QAction* action = Action(c.action);
      ASSERT_NE(action, nullptr);
      EXPECT_EQ(action->shortcut(), c.keys);
      EXPECT_TRUE(action->isShortcutVisibleInContextMenu());
      QSignalSpy triggered(action, &QAction::triggered);
      const std::size_t dialogsBefore = watcher.Seen().size();
      Activate();  // again, after the dialog of the case before
      focus->setFocus();
      QTest::keySequence(focus, c.keys);
      EXPECT_TRUE(WaitFor([&] { return triggered.count() == 1; }, 2000));
      if (c.dialog != nullptr) {
        ASSERT_EQ(watcher.Seen().size(), dialogsBefore + 1);
        EXPECT_EQ(watcher.Seen().back().className, c.dialog);
      }
      if (std::string_view(c.action) == "actQuit") {
        EXPECT_FALSE(window_.isVisible());
        Activate();
      }
    }
  }
}

TEST_F(WindowCommandsTest, MenuKeyOnTheFocusedBoardOpensItsMenuWithTheShortcuts) {
  struct Case {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
  };
  const Case cases[] = {
      {"the Menu key", Qt::Key_Menu, Qt::NoModifier},
      {"Shift+F10", Qt::Key_F10, Qt::ShiftModifier},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    image_->setFocus();
    ASSERT_TRUE(image_->hasFocus());
    EXPECT_EQ(MenuOpenedBy([&] { QTest::keyClick(image_, c.key, c.modifiers); }), BoardMenuItems());
  }
  const QStringList shown = {"Ctrl+B", "Ctrl+Shift+C", "Ctrl+S", "Ctrl+Shift+S",
                             "Ctrl+P", "F1",           "Ctrl+Q"};
  QStringList shortcuts;
  for (const char* name : {"actBirthPlace", "actCopyChart", "actSaveChart", "actSaveReading",
                           "actPrintReading", "actAbout", "actQuit"}) {
    shortcuts << Action(name)->shortcut().toString();
  }
  EXPECT_EQ(shortcuts, shown);
}

TEST_F(WindowCommandsTest, ReadingBoxMenuKeepsItsOwnEntriesAndGainsTheReadings) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QStringList items = MenuOpenedBy([&] {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                            reading_->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(reading_->viewport(), &event);
  });
  ASSERT_GT(items.size(), 4);
  EXPECT_TRUE(std::any_of(items.begin(), items.end(), [](const QString& item) {
    return item.startsWith("&Copy\t");
  })) << items.join('|').toStdString();
  EXPECT_EQ(items.mid(items.size() - 5), (QStringList{"", QStringLiteral("Save Reading As\u2026"),
                                                      QStringLiteral("Print Reading\u2026"), "",
                                                      QStringLiteral("Birth Place\u2026")}));
}

// Before the first Run there is no chart: the commands that need one are disabled, even with
// text typed into the reading box, rather than saving an empty board.
TEST_F(WindowCommandsTest, ChartCommandsWaitForTheFirstRun) {
  const char* const commands[] = {"actCopyChart", "actSaveChart", "actSaveReading",
                                  "actPrintReading"};
  reading_->setFocus();
  QTest::keyClicks(reading_, QStringLiteral("a note"));
  for (const char* name : commands) EXPECT_FALSE(Action(name)->isEnabled()) << name;
  ClickRun();
  for (const char* name : commands) EXPECT_TRUE(Action(name)->isEnabled()) << name;
}

// --- undo ---

TEST_F(WindowCommandsTest, UndoNeverReachesAcrossARun) {
  reading_->setFocus();
  QTest::keyClicks(reading_, QStringLiteral("typed before the Run"));
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QString text = Reading().toPlainText();
  const QString html = ReadingHtml();
  reading_->setFocus();
  QTest::keyClick(reading_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Reading().toPlainText(), text) << "one undo after a Run leaves the reading";
  EXPECT_EQ(ReadingHtml(), html);

  // What the user types afterwards still undoes, and only that.
  reading_->moveCursor(QTextCursor::End);
  QTest::keyClicks(reading_, QStringLiteral("note"));
  EXPECT_TRUE(Reading().toPlainText().endsWith(QLatin1String("note")));
  QTest::keyClick(reading_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Reading().toPlainText(), text);
  EXPECT_FALSE(Reading().isUndoAvailable());
}

// --- saving the reading ---

// The words of a text, whatever lines and pages it is laid out on, ligatures taken apart.
QStringList Words(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC)
      .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

TEST_F(WindowCommandsTest, SavedReadingHoldsTheWholeReading) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QString text = Reading().toPlainText();
  QTemporaryDir dir;
  for (const char* name : {"reading.html", "reading.txt", "reading.pdf"}) {
    SCOPED_TRACE(name);
    const QString path = dir.filePath(QLatin1String(name));
    {
      ModalWatcher watcher(AnswerSaveDialog(path));
      Action("actSaveReading")->trigger();
      ASSERT_TRUE(WaitFor([&] { return QFile::exists(path); }, 5000));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (path.endsWith(QLatin1String(".txt"))) {
      EXPECT_EQ(QString::fromUtf8(bytes), text);
    } else if (path.endsWith(QLatin1String(".html"))) {
      // The page velmora-cli writes for the birth: its title and heading say whose it is.
      ChartReport report;
      report.Cast({{2000, 2, 4}, 23, 0});
      EXPECT_EQ(bytes.toStdString(), report.HtmlPage());
      EXPECT_TRUE(bytes.contains("<title>Velmora chart: 4 February 2000, 23:00</title>"));
    } else {
      EXPECT_TRUE(bytes.startsWith("%PDF-"));
      // The text is as tall as the printed reading's, not a fraction of a point.
      QProcess boxes;
      boxes.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-bbox"), path, QStringLiteral("-")});
      ASSERT_TRUE(boxes.waitForFinished(30000));
      const QRegularExpression word(
          QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\""));
      const QRegularExpressionMatch first =
          word.match(QString::fromUtf8(boxes.readAllStandardOutput()));
      ASSERT_TRUE(first.hasMatch());
      EXPECT_GT(first.captured(2).toDouble() - first.captured(1).toDouble(), 8.0);
      const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
      ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (poppler-utils) reads the PDF back";
      QProcess reader;
      reader.start(pdftotext, {path, QStringLiteral("-")});
      ASSERT_TRUE(reader.waitForFinished(30000));
      ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
      // Each page ends in its number, which is the page's and not the reading's.
      QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split('\f');
      QString printed;
      for (qsizetype n = 0; n < pages.size(); ++n) {
        QString page = pages[n].trimmed();
        if (page.endsWith(QString::number(n + 1))) page.chop(QString::number(n + 1).size());
        printed += page + '\n';
      }
      const QStringList read = Words(printed);
      const QStringList written =
          Words(QStringLiteral("Velmora chart for a birth on 4 February 2000, 23:00\n") + text);
      const auto [r, w] = std::mismatch(read.begin(), read.end(), written.begin(), written.end());
      EXPECT_TRUE(r == read.end() && w == written.end())
          << "read " << (r == read.end() ? "(end)" : r->toStdString()) << " for "
          << (w == written.end() ? "(end)" : w->toStdString());
    }
  }
}

TEST_F(WindowCommandsTest, SaveIntoAFolderThatCannotBeWrittenSaysSoAndLeavesNothing) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  for (const char* name : {"reading.html", "reading.txt", "reading.pdf"}) {
    SCOPED_TRACE(name);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone/") + QLatin1String(name));
    ModalWatcher watcher([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      // Past the dialog's own checks: the folder goes after it was chosen.
      QDir(dir.path()).mkdir(QStringLiteral("gone"));
      testing::ChooseInSaveDialog(dialog, path);
      QDir(dir.path()).rmdir(QStringLiteral("gone"));
    });
    Action("actSaveReading")->trigger();
    ASSERT_TRUE(WaitFor([&] { return watcher.Seen().size() >= 2; }, 5000));
    const testing::SeenDialog& report = watcher.Seen().back();
    EXPECT_EQ(report.icon, QMessageBox::Critical);
    EXPECT_TRUE(report.text.contains(QLatin1String(name))) << report.text.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
  }
}

TEST_F(WindowCommandsTest, SaveDialogsNameTheBirthAndOpenInTheLastFolderUsed) {
  // What the next save dialog offers: its folder and the file name it suggests.
  const auto offered = [this](const char* action) {
    QString suggestion;
    ModalWatcher watcher([&](QWidget* modal) {
      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        suggestion = dialog->selectedFiles().value(0);
      }
      modal->close();
    });
    Action(action)->trigger();
    return suggestion;
  };
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  SetBirth(QDate(1990, 1, 1), QTime(12, 0));  // changed after the Run, not cast
  EXPECT_TRUE(offered("actSaveReading").endsWith(QLatin1String("/velmora-2000-02-04-2300.html")));

  QTemporaryDir dir;
  {
    const QString path = dir.filePath(QStringLiteral("mine.txt"));
    ModalWatcher watcher(AnswerSaveDialog(path));
    Action("actSaveReading")->trigger();
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(path); }, 5000));
  }
  EXPECT_EQ(offered("actSaveChart"), QDir(dir.path()).filePath("velmora-2000-02-04-2300.png"));
}

// The text pdftotext reads from the PDF at `path`.
QString PdfText(const QString& path) {
  QProcess reader;
  reader.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
               {path, QStringLiteral("-")});
  EXPECT_TRUE(reader.waitForFinished(30000));
  return QString::fromUtf8(reader.readAllStandardOutput());
}

// Print Reading to a PDF file offers the folder last saved to, lays out the heading, the board
// and the whole reading, and writes the file whole or, failing, keeps the old one and says why.
TEST_F(WindowCommandsTest, PrintToFileOffersTheLastFolderAndWritesWholeOrSaysWhy) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  QTemporaryDir dir;
  {
    const QString saved = dir.filePath(QStringLiteral("mine.txt"));
    ModalWatcher watcher(AnswerSaveDialog(saved));
    Action("actSaveReading")->trigger();
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(saved); }, 5000));
  }
  // Answers the print dialog with a file, after `before` has run.
  const auto printTo = [&](const QString& path, const std::function<void()>& before) {
    QString offered;
    ModalWatcher watcher([&](QWidget* modal) {
      auto* dialog = qobject_cast<QPrintDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
      ASSERT_NE(file, nullptr);
      offered = file->text();
      file->setText(path);
      before();
      dialog->accept();
    });
    Action("actPrintReading")->trigger();
    WaitFor([&] { return watcher.Seen().size() >= 2; }, 1000);
    return std::pair{offered, watcher.Seen()};
  };

  const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
  const auto [offered, seen] = printTo(printed, [] {});
  EXPECT_EQ(offered, dir.filePath(QStringLiteral("velmora-2000-02-04-2300.pdf")));
  ASSERT_EQ(seen.size(), 1u) << "no message after a good print";
  const QString text = PdfText(printed);
  EXPECT_TRUE(text.startsWith(QLatin1String("Velmora chart for a birth on 4 February 2000, 23:00")))
      << text.left(200).toStdString();
  for (const char* palace : {"Place:Life", "Place:Parents", "Place:Siblings"})
    EXPECT_TRUE(text.contains(QLatin1String(palace))) << palace;

  // The folder goes once the dialog is answered: the file cannot be written.
  QDir(dir.path()).mkdir(QStringLiteral("gone"));
  const QString lost = dir.filePath(QStringLiteral("gone/reading.pdf"));
  const auto [unused, refused] =
      printTo(lost, [&] { QDir(dir.filePath(QStringLiteral("gone"))).removeRecursively(); });
  ASSERT_EQ(refused.size(), 2u);
  EXPECT_EQ(refused.back().icon, QMessageBox::Critical);
  EXPECT_TRUE(refused.back().text.contains(QLatin1String("reading.pdf")))
      << refused.back().text.toStdString();
  EXPECT_FALSE(QFile::exists(lost));
}

// --- what the window says about itself ---

TEST_F(WindowCommandsTest, BoardSaysWhichBirthItShows) {
  EXPECT_TRUE(image_->toolTip().contains(QLatin1String("press Run"))) << "no birth yet";
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QString said = QStringLiteral("Chart of the birth on 4 February 2000 at 23:00");
  EXPECT_EQ(image_->toolTip(), said);
  EXPECT_EQ(image_->accessibleName(), said);
}

TEST_F(WindowCommandsTest, AboutNamesTheProgramItsVersionAndLicence) {
  ModalWatcher watcher;
  Action("actAbout")->trigger();
  ASSERT_EQ(watcher.Seen().size(), 1u);
  const testing::SeenDialog& about = watcher.Seen()[0];
  EXPECT_EQ(about.title, "About Velmora");
  EXPECT_TRUE(about.text.contains(QStringLiteral("Velmora ") + QLatin1String(kVersion)));
  EXPECT_TRUE(about.text.contains(QLatin1String("MIT License")));
  EXPECT_TRUE(about.text.contains(QLatin1String("palace-and-star")));
}

// --- the reading in a dark colour scheme ---

double Luminance(QRgb rgb) {
  const auto channel = [](int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The strongest contrast any pixel of `area` makes with `paper`: the ink of the text in it.
double InkContrast(const QImage& image, const QRect& area, QRgb paper) {
  double best = 1;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      best = std::max(best, Contrast(image.pixel(x, y), paper));
  return best;
}

TEST(ReadingInADarkColourScheme, KeepsItsLightPaperAndTheContrastOfItsColours) {
  const QPalette desktop = QApplication::palette();
  QPalette dark(QColor(53, 53, 53), QColor(42, 42, 42));
  dark.setColor(QPalette::Text, Qt::white);
  dark.setColor(QPalette::WindowText, Qt::white);
  dark.setColor(QPalette::Base, QColor(30, 30, 30));
  QApplication::setPalette(dark);
  {
    TfrmMain window;
    window.show();
    window.findChild<QDateEdit*>(QStringLiteral("dtpDate"))->setDate(kNewYear2000);
    window.findChild<QTimeEdit*>(QStringLiteral("dtpTime"))->setTime(kEleven);
    window.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    auto* reading = window.findChild<QTextEdit*>(QStringLiteral("RichEdit1"));
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(42, 42, 42)) << "the scheme holds";

    const QImage shown = reading->viewport()->grab().toImage();
    const QRgb paper = shown.pixel(shown.width() - 2, shown.height() - 2);
    EXPECT_GT(Luminance(paper), 0.9) << std::hex << paper;

    // The first star line: its maroon label, then its blue description.
    const QTextBlock line = reading->document()->findBlockByNumber(3);
    ASSERT_TRUE(line.text().startsWith(QLatin1String("Warrior:")));
    const auto at = [&](int k) {
      QTextCursor cursor(reading->document());
      cursor.setPosition(line.position() + k);
      return reading->cursorRect(cursor);
    };
    const int labelEnd = static_cast<int>(QStringLiteral("Warrior:").size());
    const QRect label(at(0).topLeft(), QPoint(at(labelEnd).left() - 1, at(0).bottom()));
    const QRect description(at(labelEnd).topLeft(),
                            QPoint(at(labelEnd + 8).left() - 1, at(labelEnd).bottom()));
    EXPECT_GE(InkContrast(shown, label, paper), 4.5);
    EXPECT_GE(InkContrast(shown, description, paper), 4.5);
  }
  QApplication::setPalette(desktop);
}

}  // namespace
}  // namespace velmora
