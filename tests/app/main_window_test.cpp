#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimeEdit>
#include <QXmlStreamReader>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "app_format_probe.h"
#include "app_test_support.h"
#include "calendar/birth_calendar.h"
#include "main_window_fixture.h"
#include "presentation/chart_painter.h"
#include "presentation/display_table.h"
#include "presentation/reading_writer.h"
#include "presentation/star_tables.h"
#include "presentation/styled_text_buffer.h"
#include "qt_drawing/qt_image_surface.h"
#include "version.h"

namespace velmora {
namespace {

using testing::AnswerSaveDialog;
using testing::FormatAt;
using testing::kEleven;
using testing::kNewYear2000;
using testing::MainWindowTest;
using testing::ModalWatcher;
using testing::PickFromImageMenu;
using testing::Seen;

QString Name(ItemCode c) {
  return QString::fromUtf8(StarName(c).data(), StarName(c).size());
}
QString Text(ItemCode c) {
  return QString::fromUtf8(StarText(c).data(), StarText(c).size());
}

// The board's lines where the painter puts them: five across, five down, without the inner
// cross of the central block; a line's end point is not drawn.
bool OnBoardLine(int x, int y) {
  const bool across =
      (y == 0 || y == 100 || y == 300 || y == 400) || (y == 200 && (x <= 99 || x >= 300));
  const bool down = (x == 0 || x == 100 || x == 300 || x == 400) ||
                    (x == 200 && (y <= 99 || (y >= 300 && y <= 399)));
  return (across && x <= 400) || (down && y <= 399);
}

bool IsWhite(const QImage& image, int x, int y) {
  return image.pixel(x, y) == qRgb(255, 255, 255);
}
bool IsBlack(const QImage& image, int x, int y) {
  return image.pixel(x, y) == qRgb(0, 0, 0);
}

// --- the window as it opens ---

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
  struct Case {
    const char* name;
    QRect geometry;
    QString text;
  };
  const Case cases[] = {
      {"dtpDate", {8, 32, 121, 21}, {}},       {"dtpTime", {136, 32, 121, 21}, {}},
      {"rbFemale", {8, 69, 65, 17}, "Female"}, {"rbMale", {88, 69, 57, 17}, "Male "},
      {"Button1", {184, 64, 75, 25}, "Run"},   {"Bevel2", {8, 96, 249, 17}, {}},
      {"RichEdit1", {8, 112, 249, 321}, {}},   {"Image1", {280, 32, 401, 401}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* control = Find<QWidget>(c.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), c.geometry);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      EXPECT_EQ(button->text(), c.text);
    }
  }
  // The label keeps its place and height and grows only as far as its caption needs.
  const QLabel* label = Find<QLabel>("Label1");
  EXPECT_EQ(label->text(), "Birth date");
  EXPECT_EQ(label->pos(), QPoint(8, 10));
  EXPECT_EQ(label->height(), 13);
  EXPECT_GE(label->width(), 45);
  EXPECT_GE(label->width(), label->sizeHint().width());
}

TEST_F(MainWindowTest, WindowIsAFixedCentredDialogWithItsCaptionAndFonts) {
  EXPECT_EQ(window_.objectName(), "frmMain");
  EXPECT_EQ(window_.windowTitle(), QStringLiteral("Velmora  ") + QLatin1String(kVersion));
  EXPECT_EQ(window_.size(), QSize(697, 453));
  EXPECT_EQ(window_.minimumSize(), QSize(697, 453));
  EXPECT_EQ(window_.maximumSize(), QSize(697, 453));
  const Qt::WindowFlags flags = window_.windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  const QRect screen = window_.screen()->availableGeometry();
  // Centred, give or take the frame the platform puts round it.
  const QPoint offCentre = window_.geometry().center() - screen.center();
  EXPECT_LE(std::abs(offCentre.x()), 4) << window_.geometry().x() << " on " << screen.width();
  EXPECT_LE(std::abs(offCentre.y()), 4) << window_.geometry().y() << " on " << screen.height();

  EXPECT_EQ(window_.font().pixelSize(), 11);
  EXPECT_EQ(window_.font().family(), DialogFaceFamily());
  EXPECT_EQ(reading_->font().pixelSize(), 12);
  EXPECT_EQ(reading_->font().family(), DialogFaceFamily());
  RecordProperty("dialog_face", QFontInfo(window_.font()).family().toStdString());
}

TEST_F(MainWindowTest, PickersAndReportBoxAreSetUpAsTheLayoutSays) {
  EXPECT_TRUE(date_->calendarPopup());
  EXPECT_EQ(date_->displayFormat(), ShortDateDisplayFormat());
  EXPECT_TRUE(date_->displayFormat().contains(QLatin1String("yyyy")));
  EXPECT_EQ(date_->minimumDate(), QDate(1901, 12, 31));
  EXPECT_EQ(date_->maximumDate(), QDate(2051, 12, 31));
  date_->setDate(QDate(1850, 6, 1));
  EXPECT_EQ(date_->date(), QDate(1901, 12, 31));
  date_->setDate(QDate(2100, 6, 1));
  EXPECT_EQ(date_->date(), QDate(2051, 12, 31));
  EXPECT_EQ(time_->displayFormat(), "HH:mm ");
  time_->setTime(QTime(7, 5));
  EXPECT_EQ(time_->text(), "07:05 ");

  EXPECT_EQ(reading_->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_FALSE(reading_->isReadOnly());
  EXPECT_EQ(reading_->lineWrapMode(), QTextEdit::WidgetWidth);
}

TEST(ShortDateDisplayFormat, IsTheLocalesShortFormatWithAFourDigitYear) {
  struct Case {
    const char* locale;
    const char* format;
  };
  const Case cases[] = {
      {"en_US", "M/d/yyyy"},
      {"de_DE", "dd.MM.yyyy"},
      {"ja_JP", "yyyy/MM/dd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(ShortDateDisplayFormat(QLocale(QLatin1String(c.locale))), c.format);
  }
  EXPECT_EQ(
      ShortDateDisplayFormat(QLocale::c()),
      QLocale::c().dateFormat(QLocale::ShortFormat).replace("yyyy", "yy").replace("yy", "yyyy"));
}

// A screen reader hears each field's name, and the window's title.
TEST_F(MainWindowTest, ScreenReadersHearTheFieldsNames) {
  struct Case {
    QWidget* control;
    const char* name;
  };
  const Case cases[] = {{date_, "Birth date"}, {time_, "Birth time"}, {reading_, "Reading"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(c.control);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QLatin1String(c.name));
  }
  EXPECT_EQ(Find<QLabel>("Label1")->buddy(), date_);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&window_)->text(QAccessible::Name),
            window_.windowTitle());
}

TEST_F(MainWindowTest, TabOrderVisitsTheControlsInTurn) {
  const QStringList wanted = {"dtpDate", "dtpTime",   "rbFemale", "rbMale",
                              "Button1", "RichEdit1", "Image1"};
  QStringList visited;
  QWidget* w = date_;
  do {
    if (wanted.contains(w->objectName()) && !visited.contains(w->objectName())) {
      visited << w->objectName();
    }
    w = w->nextInFocusChain();
  } while (w != date_);
  EXPECT_EQ(visited, wanted);
  for (const char* name : {"Label1", "Bevel2"}) {
    EXPECT_EQ(Find<QWidget>(name)->focusPolicy(), Qt::NoFocus) << name;
  }
}

TEST(MainWindowStart, PickersShowNowFemaleIsCheckedAndTheBoardIsBare) {
  const QDateTime before = QDateTime::currentDateTime();
  TfrmMain window;
  const QDateTime after = QDateTime::currentDateTime();
  const auto* date = window.findChild<QDateEdit*>(QStringLiteral("dtpDate"));
  const auto* time = window.findChild<QTimeEdit*>(QStringLiteral("dtpTime"));
  EXPECT_GE(date->date(), before.date());
  EXPECT_LE(date->date(), after.date());
  // The minute the window opened, to the minute: it shows no seconds, so it holds none.
  const QTime minute(before.time().hour(), before.time().minute());
  EXPECT_GE(time->time(), minute);
  EXPECT_LE(time->time(), after.time());
  EXPECT_EQ(time->time().second(), 0);
  EXPECT_EQ(time->time().msec(), 0);
  EXPECT_TRUE(window.findChild<QRadioButton*>(QStringLiteral("rbFemale"))->isChecked());
  EXPECT_FALSE(window.findChild<QRadioButton*>(QStringLiteral("rbMale"))->isChecked());
  EXPECT_TRUE(window.findChild<QTextEdit*>(QStringLiteral("RichEdit1"))->document()->isEmpty());

  auto* image = window.findChild<ChartImage*>(QStringLiteral("Image1"));
  ASSERT_TRUE(image->HasPicture());
  const QImage board = image->Surface().Image();
  ASSERT_EQ(board.size(), QSize(401, 401));
  EXPECT_TRUE(IsWhite(board, 200, 150));
  EXPECT_TRUE(IsBlack(board, 200, 50));
  EXPECT_TRUE(IsBlack(board, 50, 200));
  EXPECT_TRUE(IsBlack(board, 400, 400));
  int wrong = 0;
  for (int y = 0; y < 401; ++y)
    for (int x = 0; x < 401; ++x)
      wrong += (OnBoardLine(x, y) ? IsBlack(board, x, y) : IsWhite(board, x, y)) ? 0 : 1;
  EXPECT_EQ(wrong, 0) << "the bare board is its lines and nothing else";
}

// --- a Run ---

TEST_F(MainWindowTest, RunWritesTheReadingStartingAtTheLifePalace) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QTextDocument& doc = Reading();
  QStringList lines;
  for (QTextBlock b = doc.firstBlock(); b.isValid(); b = b.next()) lines << b.text();
  const QStringList first = {
      "Place:Life",
      Text(code::Life),
      "Stars:Warrior,Minister,Fiery Star",
      "Warrior:" + Text(code::Warrior),
      "Minister:" + Text(code::Minister),
      "Fiery Star:" + Text(code::FieryStar),
      "",
  };
  ASSERT_GE(lines.size(), first.size());
  EXPECT_EQ(lines.mid(0, first.size()), first);

  QStringList places;
  for (const QString& line : lines)
    if (line.startsWith(QLatin1String("Place:"))) places << line.mid(6);
  EXPECT_EQ(places,
            (QStringList{"Life", "Parents", "Happiness", "Property", "Career", "Friends", "Travel",
                         "Health", "Wealth", "Children", "Marriage", "Siblings"}));
  // Every block ends with an empty line, the last one too; the document adds its own empty end.
  ASSERT_GE(lines.size(), 2);
  EXPECT_EQ(lines[lines.size() - 2], "");
  EXPECT_EQ(lines.back(), "");
  EXPECT_EQ(reading_->lineWrapMode(), QTextEdit::WidgetWidth) << "word wrap is on again";
  EXPECT_TRUE(reading_->hasFocus() || !window_.isActiveWindow());
}

TEST_F(MainWindowTest, RunFormatsEveryCharacterOfTheFirstBlock) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QTextDocument& doc = Reading();
  const Seen red{kColorRed, false};
  const Seen redBold{kColorRed, true};
  const Seen blue{kColorBlue, false};
  const Seen blueBold{kColorBlue, true};
  const Seen maroonBold{kColorMaroon, true};
  // Per line of the first block: how many leading characters carry the label's format.
  struct Line {
    int labelLength;
    Seen label;
    Seen rest;  // the rest of the line and its line break
  };
  const std::vector<Line> block = {
      {6, redBold, red},    // Place:Life
      {0, red, red},        // the Life palace's description
      {6, blueBold, blue},  // Stars:Warrior,Minister,Fiery Star
      {static_cast<int>(Name(code::Warrior).size()) + 1, maroonBold, blue},
      {static_cast<int>(Name(code::Minister).size()) + 1, maroonBold, blue},
      {static_cast<int>(Name(code::FieryStar).size()) + 1, maroonBold, blue},
      {0, blue, blue},  // the empty line
  };
  QTextBlock paragraph = doc.firstBlock();
  int checked = 0;
  for (std::size_t i = 0; i < block.size(); ++i, paragraph = paragraph.next()) {
    SCOPED_TRACE("line " + std::to_string(i) + ": " + paragraph.text().toStdString());
    ASSERT_TRUE(paragraph.isValid());
    for (int k = 0; k < paragraph.length(); ++k) {  // the line break included
      const Seen expected = k < block[i].labelLength ? block[i].label : block[i].rest;
      ASSERT_EQ(FormatAt(doc, paragraph.position() + k), expected) << "character " << k;
      ++checked;
    }
  }
  EXPECT_GT(checked, 500);
}

TEST_F(MainWindowTest, RunReadingMatchesTheInMemoryBoxCharacterForCharacter) {
  SetBirth(QDate(1984, 11, 9), QTime(5, 40));
  ClickRun();
  StyledTextBuffer expected;
  WriteReading(SharedDisplayTable(), expected);
  const QTextDocument& doc = Reading();
  ASSERT_EQ(doc.toPlainText().toStdString() + "\n", expected.PlainText() + "\n");
  ASSERT_EQ(doc.characterCount() - 1, expected.Length());
  for (int p = 0; p < expected.Length(); ++p) {
    const CharFormat want = *expected.FormatAt(p);
    ASSERT_EQ(FormatAt(doc, p), (Seen{want.color, want.bold})) << "position " << p;
  }
}

TEST_F(MainWindowTest, RunDrawsTheLinesAndTheNamesAtTheirCellOrigins) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QImage board = Board();
  const DisplayTable& table = SharedDisplayTable();
  ASSERT_EQ(table.rows[3][0], code::Life);
  ChartPainter geometry;

  // Where the names may have ink: each name's box, one pixel wider and deeper for glyph edges.
  std::vector<QRect> boxes;
  for (int b = 1; b <= 12; ++b) {
    Point origin = geometry.CellOrigin(4, 2, b);
    for (int k = 0; k <= 6; ++k) {
      const ItemCode c = table.rows[b][k];
      if (c != 0) {
        const QFontMetrics metrics(BoardFont(k == 0), &board);
        boxes.emplace_back(origin.x, origin.y, metrics.horizontalAdvance(Name(c)) + 1,
                           metrics.height() + 1);
        int ink = 0;
        for (int y = boxes.back().top(); y <= boxes.back().bottom(); ++y)
          for (int x = boxes.back().left(); x <= boxes.back().right(); ++x)
            ink += IsWhite(board, x, y) ? 0 : 1;
        EXPECT_GT(ink, 10) << "branch " << b << " entry " << k << " is drawn";
      }
      origin.y += k == 0 ? 16 : 14;
    }
  }
  int wrong = 0;
  for (int y = 0; y < 401; ++y) {
    for (int x = 0; x < 401; ++x) {
      bool inBox = false;
      for (const QRect& box : boxes) inBox = inBox || box.contains(x, y);
      if (inBox) continue;
      const bool right = OnBoardLine(x, y) ? IsBlack(board, x, y) : IsWhite(board, x, y);
      if (!right)
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << board.pixel(x, y);
      wrong += right ? 0 : 1;
    }
  }
  EXPECT_EQ(wrong, 0) << "outside the names the board is its lines and nothing else";

  // The Life palace's name starts at branch 3's cell origin, 4 right of its left edge.
  int leftOfOrigin = 0;
  for (int y = 301; y < 400; ++y)
    for (int x = 1; x < 4; ++x) leftOfOrigin += IsWhite(board, x, y) ? 0 : 1;
  EXPECT_EQ(leftOfOrigin, 0);
  int firstColumnInk = 0;
  for (int y = 302; y < 302 + 13; ++y)
    firstColumnInk += IsWhite(board, 4, y) && IsWhite(board, 5, y) ? 0 : 1;
  EXPECT_GT(firstColumnInk, 0) << "the name begins right at x = 4";
  EXPECT_TRUE(IsWhite(board, 200, 150));
  EXPECT_TRUE(IsBlack(board, 400, 400));
}

TEST_F(MainWindowTest, ShownImageIsTheBoard) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  EXPECT_EQ(image_->grab().toImage().convertToFormat(QImage::Format_RGB32), Board());
}

// --- what a Run depends on ---

TEST_F(MainWindowTest, RunDependsOnTheBirthDateAndTimeAlone) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QImage board = Board();
  const QString html = ReadingHtml();
  const QString text = Reading().toPlainText();

  struct Case {
    const char* name;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"the same inputs again", [] {}},
      {"Male instead of Female", [this] { QTest::mouseClick(male_, Qt::LeftButton); }},
      {"a date value carrying a time, a time value carrying a date",
       [this] {
         date_->setDateTime(QDateTime(kNewYear2000, QTime(7, 31, 12)));
         time_->setDateTime(QDateTime(QDate(1977, 7, 7), kEleven));
       }},
      {"the reading edited by the user before the Run",
       [this] {
         reading_->append(QStringLiteral("scribble"));
         reading_->setCurrentCharFormat(QTextCharFormat());
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.change();
    ClickRun();
    EXPECT_EQ(Board(), board);
    EXPECT_EQ(Reading().toPlainText(), text);
    EXPECT_EQ(ReadingHtml(), html);
  }
  EXPECT_TRUE(male_->isChecked());
}

TEST_F(MainWindowTest, DifferentBirthsGiveDifferentCharts) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QImage board = Board();
  const QString text = Reading().toPlainText();
  SetBirth(kNewYear2000, QTime(22, 59));  // before the day changes at 23:00
  ClickRun();
  EXPECT_NE(Board(), board);
  EXPECT_NE(Reading().toPlainText(), text);
}

// --- unsupported births ---

TEST_F(MainWindowTest, BirthsOutsideTheSupportedRangeAreRefusedAndChangeNothing) {
  struct Case {
    const char* name;
    QDate date;
    QTime time;
    bool accepted;
  };
  const Case cases[] = {
      {"last minute before the range", {1901, 12, 31}, {22, 59}, false},
      {"first moment of the range", {1901, 12, 31}, {23, 0}, true},
      {"last minute of the range", {2051, 12, 31}, {22, 59}, true},
      {"first moment after the range", {2051, 12, 31}, {23, 0}, false},
      {"last moment of the last day", {2051, 12, 31}, {23, 59, 59, 999}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBirth(kNewYear2000, kEleven);
    ClickRun();
    const QImage board = Board();
    const QString html = ReadingHtml();

    SetBirth(c.date, c.time);
    ModalWatcher watcher;
    ClickRun();
    if (c.accepted) {
      EXPECT_TRUE(watcher.Seen().empty());
      EXPECT_TRUE(Reading().firstBlock().text().startsWith(QLatin1String("Place:")));
      EXPECT_NE(ReadingHtml(), html);
    } else {
      ASSERT_EQ(watcher.Seen().size(), 1u);
      EXPECT_TRUE(watcher.Seen()[0].text.contains(QLatin1String(kSupportedBirthRange)))
          << watcher.Seen()[0].text.toStdString();
      EXPECT_EQ(Board(), board);
      EXPECT_EQ(ReadingHtml(), html);
    }
  }
}

// --- the image's menu ---

TEST_F(MainWindowTest, MenuSavesThePngAndTheSvgOfTheBoard) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  const QImage board = Board();
  const QString html = ReadingHtml();
  QTemporaryDir dir;

  const QString png = dir.filePath(QStringLiteral("board.png"));
  {
    ModalWatcher watcher(AnswerSaveDialog(png));
    PickFromImageMenu(image_, QStringLiteral("Save Chart As\u2026"));
    ASSERT_TRUE(testing::WaitFor([&] { return QFile::exists(png); }, 5000));
  }
  const QImage saved(png);
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), board);
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            image_->grab().toImage().convertToFormat(QImage::Format_RGB32));

  const QString svg = dir.filePath(QStringLiteral("board.svg"));
  {
    ModalWatcher watcher(AnswerSaveDialog(svg));
    PickFromImageMenu(image_, QStringLiteral("Save Chart As\u2026"));
    ASSERT_TRUE(testing::WaitFor([&] { return QFile::exists(svg); }, 5000));
  }
  QFile file(svg);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  int texts = 0;
  QString words;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QLatin1String("text")) ++texts;
    if (xml.isCharacters()) words += xml.text();
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_GE(texts, 12) << "every palace's name is in the drawing";
  EXPECT_TRUE(words.contains(QLatin1String("Fiery Star")));

  EXPECT_EQ(Board(), board) << "nothing else in the window changes";
  EXPECT_EQ(ReadingHtml(), html);
}

TEST_F(MainWindowTest, MenuReportsAFailedSaveAndLeavesNoFile) {
  ClickRun();  // the chart's commands need a chart
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("missing/board.png"));
  ModalWatcher watcher([&](QWidget* modal) {
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      // Past the dialog's own checks: the folder vanishes after it was chosen.
      QDir(dir.path()).mkdir(QStringLiteral("missing"));
      testing::ChooseInSaveDialog(dialog, path);
      QDir(dir.path()).rmdir(QStringLiteral("missing"));
    } else {
      modal->close();
    }
  });
  PickFromImageMenu(image_, QStringLiteral("Save Chart As\u2026"));
  ASSERT_TRUE(testing::WaitFor([&] { return watcher.Seen().size() >= 2; }, 5000));
  const testing::SeenDialog& report = watcher.Seen().back();
  EXPECT_EQ(report.icon, QMessageBox::Critical);
  EXPECT_TRUE(report.text.contains(QLatin1String("board.png"))) << report.text.toStdString();
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(MainWindowTest, MenuCopiesTheBoardToTheClipboard) {
  SetBirth(kNewYear2000, kEleven);
  ClickRun();
  QApplication::clipboard()->clear();
  PickFromImageMenu(image_, QStringLiteral("Copy Chart"));
  ASSERT_TRUE(testing::WaitFor([&] { return !QApplication::clipboard()->image().isNull(); }, 2000));
  EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), Board());
}

// --- endurance ---

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST_F(MainWindowTest, TwoThousandRunsDoNotGrowTheProcess) {
  auto birth = [](int i) {
    const QDate date = QDate(1902, 1, 1).addDays((i * 7919L) % 54000);
    const QTime time = QTime(0, 0).addSecs((i * 37 % 1440) * 60);
    return std::pair{date, time};
  };
  for (int i = 0; i < 100; ++i) {  // warm up: caches, fonts, glyphs
    const auto [date, time] = birth(i);
    SetBirth(date, time);
    ClickRun();
    QCoreApplication::processEvents();
  }
  const long before = ResidentKiB();
  for (int i = 100; i < 2100; ++i) {
    const auto [date, time] = birth(i);
    SetBirth(date, time);
    ClickRun();
    QCoreApplication::processEvents();
    ASSERT_TRUE(Reading().firstBlock().text().startsWith(QLatin1String("Place:"))) << i;
  }
  const long after = ResidentKiB();
  const long growth = after - before;
  ASSERT_GT(before, 0) << "the resident set size could not be read";
  RecordProperty("resident_growth_kib", std::to_string(growth));
  std::cout << "[ memory   ] resident set " << before << " KiB before and " << after
            << " KiB after 2,000 Runs\n";
  EXPECT_LT(growth, 2048);
}

// A date typed over the whole field, in the form it shows or as ISO 8601, is the date cast;
// text that is no date is refused at Run, and the window shows what it showed before.
TEST_F(MainWindowTest, TypedDatesAreCastAsTypedOrRefused) {
  const QLocale locale;
  const QString shown = locale.toString(QDate(1990, 7, 3), date_->displayFormat());
  struct Case {
    const char* name;
    QString typed;
    QDate date;  // invalid: refused
  };
  const Case cases[] = {
      {"as the field shows it", shown, QDate(1990, 7, 3)},
      {"without spaces", QString(shown).remove(QLatin1Char(' ')), QDate(1990, 7, 3)},
      {"in small letters", shown.toLower(), QDate(1990, 7, 3)},
      {"ISO 8601", QStringLiteral("1985-03-12"), QDate(1985, 3, 12)},
      {"no such day", QStringLiteral("32") + shown.mid(1), QDate()},
      {"outside the calendar", QStringLiteral("1850-06-01"), QDate()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBirth(QDate(2000, 2, 4), QTime(23, 0));
    ClickRun();
    const QString before = ReadingHtml();
    date_->setFocus();
    QTest::keyClick(date_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(date_, c.typed);
    ModalWatcher watcher;
    ClickRun();
    if (c.date.isValid()) {
      EXPECT_TRUE(watcher.Seen().empty());
      EXPECT_EQ(date_->date(), c.date);
      EXPECT_NE(ReadingHtml(), before);
    } else {
      ASSERT_TRUE(testing::WaitFor([&] { return !watcher.Seen().empty(); }, 5000));
      EXPECT_EQ(watcher.Seen()[0].icon, QMessageBox::Warning);
      EXPECT_FALSE(watcher.Seen()[0].text.isEmpty());
      EXPECT_EQ(ReadingHtml(), before);
      EXPECT_EQ(window_.focusWidget(), date_);
    }
  }
}

// A time typed whole, over the selection or over the hours alone, is the time cast: the chart is
// that of a Run with the field set to it. Text that is no time is refused and nothing changes.
TEST_F(MainWindowTest, TypedTimesAreCastAsTypedOrRefused) {
  struct Case {
    const char* name;
    bool selectAll;  // else the hours alone are selected, as when the field takes the focus
    QString typed;
    QTime time;  // invalid: refused
  };
  const Case cases[] = {
      {"over the whole field", true, QStringLiteral("07:05"), QTime(7, 5)},
      {"with a one-digit hour", true, QStringLiteral("7:05"), QTime(7, 5)},
      {"over the hours", false, QStringLiteral("07"), QTime(7, 30)},
      {"no such hour", true, QStringLiteral("25:00"), QTime()},
      {"no minutes", true, QStringLiteral("07"), QTime()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBirth(kNewYear2000, QTime(12, 30));
    ClickRun();
    const QString before = ReadingHtml();
    time_->setFocus();
    if (c.selectAll) {
      QTest::keyClick(time_, Qt::Key_A, Qt::ControlModifier);
    } else {
      time_->setSelectedSection(QDateTimeEdit::HourSection);
    }
    QTest::keyClicks(time_, c.typed);
    ModalWatcher watcher;
    QTest::keyClick(time_, Qt::Key_Return);
    if (c.time.isValid()) {
      EXPECT_TRUE(watcher.Seen().empty());
      EXPECT_EQ(time_->time(), c.time);
      const QImage typedBoard = Board();
      const QString typedReading = ReadingHtml();
      SetBirth(kNewYear2000, c.time);
      ClickRun();
      EXPECT_EQ(typedBoard, Board());
      EXPECT_EQ(typedReading, ReadingHtml());
    } else {
      ASSERT_TRUE(testing::WaitFor([&] { return !watcher.Seen().empty(); }, 5000));
      EXPECT_EQ(watcher.Seen()[0].icon, QMessageBox::Warning);
      EXPECT_TRUE(watcher.Seen()[0].text.contains(QLatin1String("HH:MM")) ||
                  watcher.Seen()[0].text.contains(QLatin1String("hours run")))
          << watcher.Seen()[0].text.toStdString();
      EXPECT_EQ(ReadingHtml(), before);
      EXPECT_EQ(time_->text().trimmed(), c.typed) << "the text stays as typed";
    }
  }
}

// A date outside the births cast, typed or pasted, is refused at Run in the window's sentence
// for it, however the Run is asked for, and stays in the field as typed; so does pasted text the
// field cannot read.
TEST_F(MainWindowTest, TypedDatesOutsideTheRangeAndUnreadablePastesAreRefusedAsTheyStand) {
  struct Case {
    const char* name;
    QString typed;
    QTime time;
    bool paste;
    const char* run;   // "enter", "button" or "tab" (the focus leaves, then Run)
    const char* said;  // a part of the refusal; null: the birth is cast
  };
  const Case cases[] = {
      {"after the range, Enter", "2052-01-01", {12, 0}, false, "enter", kSupportedBirthRange},
      {"after the range, Run", "2052-01-01", {12, 0}, false, "button", kSupportedBirthRange},
      {"after the range, Tab", "2052-01-01", {12, 0}, false, "tab", kSupportedBirthRange},
      {"before the range", "1901-12-30", {23, 30}, false, "enter", kSupportedBirthRange},
      {"the range's first day", "1901-12-31", {23, 30}, false, "enter", nullptr},
      {"a pasted date and time", "1988-07-15 09:30", {12, 0}, true, "enter", "is not a date"},
      {"a pasted date", "1988-07-15", {12, 0}, true, "enter", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBirth(kNewYear2000, c.time);
    ClickRun();
    const QString before = ReadingHtml();
    date_->setFocus();
    QTest::keyClick(date_, Qt::Key_A, Qt::ControlModifier);
    if (c.paste) {
      QApplication::clipboard()->setText(c.typed);
      QTest::keyClick(date_, Qt::Key_V, Qt::ControlModifier);
    } else {
      QTest::keyClicks(date_, c.typed);
    }
    ModalWatcher watcher;
    const std::string run = c.run;
    if (run == "enter") {
      QTest::keyClick(date_, Qt::Key_Return);
    } else {
      if (run == "tab") QTest::keyClick(date_, Qt::Key_Tab);
      ClickRun();
    }
    if (c.said == nullptr) {
      EXPECT_TRUE(watcher.Seen().empty());
      EXPECT_NE(ReadingHtml(), before);
      EXPECT_EQ(date_->date(), QDate::fromString(c.typed, Qt::ISODate));
    } else {
      ASSERT_TRUE(testing::WaitFor([&] { return !watcher.Seen().empty(); }, 5000));
      EXPECT_TRUE(watcher.Seen()[0].text.contains(QLatin1String(c.said)))
          << watcher.Seen()[0].text.toStdString();
      EXPECT_EQ(ReadingHtml(), before);
      EXPECT_EQ(date_->text(), c.typed) << "the text stays as typed";
    }
  }
}

// Alt+Down and F4 open the date field's calendar, and change no date.
TEST_F(MainWindowTest, AltDownAndF4OpenTheCalendar) {
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  struct Case {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
  };
  const Case cases[] = {{"Alt+Down", Qt::Key_Down, Qt::AltModifier},
                        {"F4", Qt::Key_F4, Qt::NoModifier}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    date_->setDate(QDate(2000, 9, 11));
    date_->setFocus();
    QTest::keyClick(date_, c.key, c.modifiers);
    auto* calendar = date_->findChild<QCalendarWidget*>();
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(testing::WaitFor([&] { return calendar->isVisible(); }, 2000));
    EXPECT_EQ(date_->date(), QDate(2000, 9, 11));
    calendar->window()->close();
  }
}

// Dates as people of each locale write them, read by the date field; what names no date is
// refused.
TEST(ReadTypedDate, TakesTheWrittenFormsOfTheUsersLocale) {
  struct Case {
    const char* locale;
    const char* typed;
    QDate date;  // invalid: refused
  };
  const QDate day(2000, 2, 4);
  const Case cases[] = {
      {"de_DE", "04.02.2000", day},
      {"de_DE", "4.2.2000", day},
      {"de_DE", "3 Jul 1990", {1990, 7, 3}},
      {"de_DE", "4. Februar 2000", day},
      {"en_GB", "2/4/2000", {2000, 4, 2}},
      {"en_GB", "04/02/2000", day},
      {"en_GB", "4/2/2000", day},
      {"en_GB", "3 Jul 1990", {1990, 7, 3}},
      {"en_GB", "4 february 2000", day},
      {"en_US", "2/4/2000", day},
      {"en_US", "February 4, 2000", day},
      {"en_US", "Feb 4 2000", day},
      {"zh_CN", "2000年2月4日", day},
      {"zh_CN", "2000/2/4", day},
      {"ja_JP", "2000年2月4日", day},
      {"C", "4 February 2000", day},
      {"C", "4Feb2000", day},
      {"fr_FR", "2000-02-04", day},
      {"de_DE", "31.02.2000", {}},
      {"en_GB", "4 Febtember 2000", {}},
      {"C", "1988-07-15 09:30", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + ": " + c.typed);
    const QLocale locale{QLatin1String(c.locale)};
    EXPECT_EQ(ReadTypedDate(QString::fromUtf8(c.typed), locale, ShortDateDisplayFormat(locale)),
              c.date);
  }
}

// The focus on Run shows, although Run is the default button, which the style emphasises too.
TEST_F(MainWindowTest, TheRunButtonLooksDifferentWithTheFocus) {
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  male_->setFocus();
  const QImage without = run_->grab().toImage();
  QTest::keyClick(male_, Qt::Key_Tab);  // as the keyboard moves the focus, which the style marks
  ASSERT_TRUE(run_->hasFocus());
  EXPECT_NE(run_->grab().toImage(), without);
}

TEST(WindowPlacement, CentredWhereItFitsAndNeverAboveOrLeftOfTheFreeArea) {
  struct Case {
    const char* name;
    QRect free;
    QSize window;
    QPoint at;
  };
  const Case cases[] = {
      {"a large screen", {0, 0, 1920, 1080}, {697, 453}, {611, 313}},
      {"a panel on the left and top", {64, 32, 1216, 768}, {697, 453}, {323, 189}},
      {"scale 2 on 1280 x 800", {0, 0, 640, 400}, {697, 453}, {0, 0}},
      {"too narrow only", {10, 0, 600, 1000}, {697, 453}, {10, 273}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PlaceOnScreen(c.free, c.window), c.at);
  }
}

}  // namespace
}  // namespace velmora
