// The birth place: the dialog that sets it, Runs cast from the corrected moment, the line below
// the reading and the board that says so, refusals, and clearing it again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <QLineEdit>

#include <QDialogButtonBox>

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QRadioButton>

#include <functional>
#include <optional>

#include "app/birth_place_dialog.h"
#include "app_test_support.h"
#include "calendar/date_time.h"
#include "casting/birth_place.h"
#include "chart/palace_chart.h"
#include "main_window_fixture.h"
#include "presentation/birth_text.h"

namespace velmora {
namespace {

using testing::MainWindowTest;
using testing::ModalWatcher;

// A choice in the dialog: the correction's radio button, the zone as typed, the longitude and
// the entry for a clock time that came twice (0 ask, 1 in force, 2 not in force).
struct Choice {
  const char* correction;
  const char* zone = "";
  double longitude = 0.0;
  int repeatedHour = 0;
};

template <typename W>
W* Child(QWidget& dialog, const char* name) {
  W* widget = dialog.findChild<W*>(QLatin1String(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

void Fill(BirthPlaceDialog& dialog, const Choice& choice) {
  Child<QRadioButton>(dialog, choice.correction)->click();
  Child<QComboBox>(dialog, "cbZone")->setEditText(QLatin1String(choice.zone));
  Child<QDoubleSpinBox>(dialog, "edLongitude")->setValue(choice.longitude);
  Child<QComboBox>(dialog, "cbRepeatedHour")->setCurrentIndex(choice.repeatedHour);
}

BirthPlaceSetting Setting(const char* zone, SolarTime solar, double longitude = 0.0,
                          DaylightSaving daylight = DaylightSaving::kUnknown) {
  return {zone, {solar, longitude, daylight}, std::nullopt};
}

// --- the dialog ---

TEST(BirthPlaceDialogChoice, GivesTheSettingChosenAndOpensWithItAgain) {
  struct Case {
    const char* name;
    Choice choice;
    std::optional<BirthPlaceSetting> setting;
    bool zoneEnabled;
    bool longitudeEnabled;
  };
  const Case cases[] = {
      {"clock time as entered", {"rbClockTime", "Asia/Shanghai", 87.6}, std::nullopt, false, false},
      {"standard time, a repeated hour as standard time",
       {"rbStandardTime", "Asia/Shanghai", 0, 2},
       Setting("Asia/Shanghai", SolarTime::kStandard, 0, DaylightSaving::kOff),
       true,
       false},
      {"mean solar time, the zone typed in small letters",
       {"rbMeanSolarTime", "asia/shanghai", 87.6},
       Setting("Asia/Shanghai", SolarTime::kMean, 87.6),
       true,
       true},
      {"apparent solar time west of Greenwich, a space for the underscore",
       {"rbApparentSolarTime", " america/new york ", -73.9356, 1},
       Setting("America/New_York", SolarTime::kApparent, -73.9356, DaylightSaving::kOn),
       true,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BirthPlaceDialog dialog(std::nullopt, nullptr);
    dialog.show();
    Fill(dialog, c.choice);
    EXPECT_EQ(Child<QComboBox>(dialog, "cbZone")->isEnabled(), c.zoneEnabled);
    EXPECT_EQ(Child<QComboBox>(dialog, "cbRepeatedHour")->isEnabled(), c.zoneEnabled);
    EXPECT_EQ(Child<QDoubleSpinBox>(dialog, "edLongitude")->isEnabled(), c.longitudeEnabled);
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Setting(), c.setting);

    // Opened again on what was chosen, it gives it back unchanged.
    BirthPlaceDialog again(dialog.Setting(), nullptr);
    again.accept();
    EXPECT_EQ(again.Setting(), c.setting);
  }
}

TEST(BirthPlaceDialogZone, RefusesANameTheDatabaseDoesNotHoldAndStaysOpen) {
  for (const char* zone : {"Mars/Olympus", "", "UTC+08:00"}) {
    SCOPED_TRACE(zone);
    BirthPlaceDialog dialog(std::nullopt, nullptr);
    dialog.show();
    Fill(dialog, {"rbStandardTime", zone});
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    const QLabel* error = Child<QLabel>(dialog, "lblError");
    EXPECT_TRUE(error->isVisible());
    EXPECT_TRUE(error->text().contains(QLatin1String(kUnknownZoneError).mid(1)))
        << error->text().toStdString();
    EXPECT_TRUE(error->text().contains(QLatin1String(zone))) << error->text().toStdString();

    Fill(dialog, {"rbStandardTime", "Asia/Shanghai"});
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Setting(), Setting("Asia/Shanghai", SolarTime::kStandard));
  }
}

// Typed and confirmed as a user does it, an unknown zone is refused with what was typed left
// in place, and the refusal goes as soon as the entry names a zone.
TEST(BirthPlaceDialogZone, ARefusedZoneKeepsItsTextAndTheErrorGoesOnceTheZoneIsKnown) {
  for (const bool byEnter : {true, false}) {
    SCOPED_TRACE(byEnter ? "Enter" : "the OK button");
    BirthPlaceDialog dialog(std::nullopt, nullptr);
    dialog.show();
    Child<QRadioButton>(dialog, "rbStandardTime")->click();
    auto* zone = Child<QComboBox>(dialog, "cbZone");
    zone->lineEdit()->selectAll();
    QTest::keyClicks(zone->lineEdit(), QStringLiteral("Mars/Base"));
    if (byEnter) {
      QTest::keyClick(zone->lineEdit(), Qt::Key_Return);
    } else {
      QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                        Qt::LeftButton);
    }
    const QLabel* error = Child<QLabel>(dialog, "lblError");
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(zone->currentText(), QStringLiteral("Mars/Base"));
    zone->lineEdit()->selectAll();
    QTest::keyClicks(zone->lineEdit(), QStringLiteral("Asia/Shanghai"));
    EXPECT_FALSE(error->isVisible());
  }
}

// The rows a field's list offers once the text typed has been answered, as what each puts into
// the field.
QStringList Offered(QCompleter* completer) {
  QStringList offered;
  const QAbstractItemModel* rows = completer->model();
  for (int row = 0; row < rows->rowCount(); ++row) {
    offered << rows->index(row, 0).data(Qt::UserRole + 1).toString();
  }
  return offered;
}

TEST(BirthPlaceDialogZone, OffersTheZonesThatHoldWhatIsTypedThenThoseOfCountriesAndCities) {
  struct Case {
    const char* typed;
    const char* offered;
  };
  const Case cases[] = {{"SHANG", "Asia/Shanghai"},      {"york", "America/New_York"},
                        {"europe/lon", "Europe/London"}, {"india", "Asia/Kolkata"},
                        {"china", "Asia/Shanghai"},      {"beijing", "Asia/Shanghai"},
                        {"calc", "Asia/Calcutta"},       {"sao paulo", "America/Sao_Paulo"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    BirthPlaceDialog dialog(std::nullopt, nullptr);
    dialog.show();
    Child<QRadioButton>(dialog, "rbStandardTime")->click();
    QLineEdit* entry = Child<QComboBox>(dialog, "cbZone")->lineEdit();
    entry->setFocus();
    entry->clear();
    QTest::keyClicks(entry, QLatin1String(c.typed));
    QCompleter* completer = Child<QComboBox>(dialog, "cbZone")->completer();
    ASSERT_NE(completer, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(Offered(completer).contains(QLatin1String(c.offered)), 5000);
  }
}

TEST(BirthPlaceDialogCity, FillsTheZoneAndLongitudeFromTheCityTypedOrChosen) {
  struct Case {
    const char* name;
    const char* city;
    const char* zoneAfter;  // typed into the zone after the city; empty: left as the city filled it
    const char* zone;
    double longitude;
    const char* label;  // of the city the setting keeps; empty: none
  };
  const Case cases[] = {
      {"a city", "Urumqi", "", "Asia/Urumqi", 87.6005,
       "\u00dcr\u00fcmqi, Xinjiang Uyghur Autonomous Region, China"},
      {"a city with its region", "springfield, illinois", "", "America/Chicago", -89.6437,
       "Springfield, Illinois, United States of America"},
      {"another zone after the city", "Urumqi", "Asia/Shanghai", "Asia/Shanghai", 87.6005, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BirthPlaceDialog dialog(std::nullopt, nullptr);
    Child<QLineEdit>(dialog, "edPlace")->setText(QLatin1String(c.city));
    if (c.zoneAfter[0] != '\0') {
      dialog.accept();  // takes the city; then the zone is changed and the dialog accepted again
      dialog.setResult(QDialog::Rejected);
      Child<QComboBox>(dialog, "cbZone")->setEditText(QLatin1String(c.zoneAfter));
    }
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.Setting().has_value());
    const BirthPlaceSetting& setting = *dialog.Setting();
    EXPECT_EQ(setting.zone, c.zone);
    EXPECT_EQ(setting.place.solar, SolarTime::kMean);
    EXPECT_NEAR(setting.place.longitude, c.longitude, 1e-9);
    EXPECT_EQ(setting.city ? PlaceLabel(*setting.city) : std::string(), c.label);
  }
}

TEST(BirthPlaceDialogCity, OffersCitiesAsTheUserTypesAndRefusesOneNoTableHolds) {
  BirthPlaceDialog dialog(std::nullopt, nullptr);
  dialog.show();
  auto* city = Child<QLineEdit>(dialog, "edPlace");
  city->setFocus();
  QTest::keyClicks(city, QStringLiteral("beij"));
  QCompleter* completer = city->completer();
  QTRY_VERIFY_WITH_TIMEOUT(!Offered(completer).isEmpty(), 5000);
  EXPECT_EQ(Offered(completer).first().toStdString(), "Beijing, Beijing Municipality, China");
  emit completer->activated(completer->completionModel()->index(0, 0));
  EXPECT_EQ(Child<QComboBox>(dialog, "cbZone")->currentText().toStdString(), "Asia/Shanghai");
  EXPECT_TRUE(Child<QRadioButton>(dialog, "rbMeanSolarTime")->isChecked());

  city->setText(QStringLiteral("Qwxyz"));
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_THAT(Child<QLabel>(dialog, "lblError")->text().toStdString(),
              ::testing::HasSubstr("\u201cQwxyz\u201d: no city of 15,000 people or more"));
  EXPECT_TRUE(city->hasFocus());
}

// A huge paste is cut to what could name a city, and its refusal quotes a short beginning, so
// that the dialog keeps its size and its buttons on the screen.
TEST(BirthPlaceDialogCity, AHugePasteIsCutAndItsRefusalQuotesAShortBeginning) {
  BirthPlaceDialog dialog(std::nullopt, nullptr);
  dialog.show();
  const QSize opened = dialog.size();
  auto* city = Child<QLineEdit>(dialog, "edPlace");
  city->setFocus();
  QApplication::clipboard()->setText(QString(1 << 20, QLatin1Char('x')));
  QTest::keyClick(city, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(city->text().size(), 256);
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  const QString said = Child<QLabel>(dialog, "lblError")->text();
  EXPECT_TRUE(said.startsWith(QStringLiteral("\u201c") + QString(40, QLatin1Char('x')) +
                              QStringLiteral("\u2026\u201d: no city")))
      << said.toStdString();
  QApplication::processEvents();
  EXPECT_LT(dialog.sizeHint().height(), opened.height() + 100);
}

// --- the window ---

class BirthPlaceWindowTest : public MainWindowTest {
 protected:
  BirthPlaceWindowTest() { line_ = Find<QLabel>("lblBirthPlace"); }

  // Opens Birth Place… from the window and answers it with `choice`, or cancels it.
  void ChooseBirthPlace(const std::optional<Choice>& choice) {
    ModalWatcher watcher([&](QWidget* modal) {
      auto* dialog = qobject_cast<BirthPlaceDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      if (!choice) {
        dialog->reject();
        return;
      }
      Fill(*dialog, *choice);
      dialog->accept();
      EXPECT_EQ(dialog->result(), QDialog::Accepted);
    });
    window_.findChild<QAction*>(QStringLiteral("actBirthPlace"))->trigger();
  }

  // The board and the reading of an uncorrected Run of `date` at `time`, in a window of its own.
  static std::pair<QImage, QString> UncorrectedRun(QDate date, QTime time) {
    TfrmMain window;
    window.findChild<QDateEdit*>(QStringLiteral("dtpDate"))->setDate(date);
    window.findChild<QTimeEdit*>(QStringLiteral("dtpTime"))->setTime(time);
    window.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    return {window.findChild<ChartImage*>(QStringLiteral("Image1"))->Surface().Image(),
            window.findChild<QTextEdit*>(QStringLiteral("RichEdit1"))->document()->toHtml()};
  }

  // The line as a user sees it: whole, or elided to the strip's width with the whole line in
  // its tool tip.
  void ExpectLine(const QString& whole) {
    EXPECT_TRUE(line_->isVisible());
    EXPECT_EQ(line_->toolTip().toStdString(), whole.toStdString());
    EXPECT_LE(line_->fontMetrics().horizontalAdvance(line_->text()), line_->width());
    if (line_->text() != whole) {
      ASSERT_TRUE(line_->text().endsWith(QStringLiteral("\u2026"))) << line_->text().toStdString();
      EXPECT_TRUE(whole.startsWith(line_->text().chopped(1)));
    }
  }

  QLabel* line_ = nullptr;
};

int HourBranchOf(TDateTime moment) {
  PalaceChart chart;
  chart.SetBirthMoment(moment);
  chart.ComputeChart();
  return chart.calendar.hourBranch;
}

TEST_F(BirthPlaceWindowTest, RunCastsFromTheCorrectedMomentAndTheStripSaysSo) {
  struct Case {
    const char* name;
    Choice choice;
    const char* birth;   // date and clock time as entered
    const char* cast;    // the uncorrected birth that gives the same chart
    int hourBranch;      // of the moment cast
    const char* before;  // the line before the first Run
    const char* after;   // and after it
  };
  const Case cases[] = {
      {"daylight saving time in China, 1988",
       {"rbStandardTime", "Asia/Shanghai"},
       "1988-07-15T09:30",
       "1988-07-15T08:30:00",
       5,
       "Birth place: Asia/Shanghai, standard time. Press Run to cast the chart from it.",
       "Cast from standard time, 15 July 1988, 08:30: clock time 09:30 in Asia/Shanghai, less 1 h "
       "for daylight saving time."},
      {"Urumqi on Beijing time",
       {"rbMeanSolarTime", "Asia/Shanghai", 87.6},
       "1990-01-15T12:00",
       "1990-01-15T09:50:24",
       6,
       "Birth place: Asia/Shanghai, local mean solar time at 87.6\u00b0E. Press Run to cast the "
       "chart from it.",
       "Cast from local mean solar time, 15 January 1990, 09:50:24: clock time 12:00 in "
       "Asia/Shanghai, no daylight saving time, less 2 h 9 min 36 s for longitude 87.6\u00b0E "
       "(the zone's meridian is 120\u00b0E)."},
  };
  EXPECT_TRUE(line_->isHidden()) << "no line without a birth place";
  const QRect strip(0, 433, 681, 20);  // below the reading and the board, as wide as both
  EXPECT_TRUE(strip.contains(line_->geometry())) << line_->y() << " " << line_->height();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QDateTime birth = QDateTime::fromString(QLatin1String(c.birth), Qt::ISODate);
    const QDateTime cast = QDateTime::fromString(QLatin1String(c.cast), Qt::ISODate);
    const QDate day = cast.date();
    const QTime time = cast.time();
    ASSERT_EQ(HourBranchOf(EncodeDate(day.year(), day.month(), day.day()) +
                           EncodeTime(time.hour(), time.minute(), time.second())),
              c.hourBranch);
    const auto [board, html] = UncorrectedRun(day, time);
    ASSERT_NE(board, UncorrectedRun(birth.date(), birth.time()).first) << "the correction tells";

    ChooseBirthPlace(c.choice);
    ExpectLine(QString::fromUtf8(c.before));
    SetBirth(birth.date(), birth.time());
    ClickRun();
    EXPECT_EQ(Board(), board);
    EXPECT_EQ(ReadingHtml(), html);
    ExpectLine(QString::fromUtf8(c.after));
    EXPECT_EQ(time_->time(), birth.time()) << "the pickers keep the clock time";
  }
}

TEST_F(BirthPlaceWindowTest, RefusedBirthsAreExplainedAndChangeNothing) {
  struct Case {
    const char* name;
    Choice choice;
    const char* birth;
    const char* said;
  };
  const Case cases[] = {
      {"a clock time that came twice",
       {"rbStandardTime", "America/New_York"},
       "2021-11-07T01:30:48",  // the seconds the picker does not show count for nothing
       "01:30 on 7 November 2021 came twice in America/New_York, where the clocks went back from "
       "02:00 to 01:00; choose in Birth Place\u2026 (Ctrl+B) whether daylight saving time was in "
       "force."},
      {"a clock time the clocks skipped",
       {"rbStandardTime", "America/New_York"},
       "2021-03-14T02:30",
       "There was no 02:30 on 14 March 2021 in America/New_York, where the clocks went forward "
       "from 02:00 to 03:00; give a time the clocks showed."},
      {"a corrected moment after the last supported birth",
       {"rbMeanSolarTime", "Asia/Shanghai", 135},
       "2051-12-31T22:50",
       "The corrected moment, 31 December 2051, 23:50, lies outside the lunar calendar; births "
       "from 31 December 1901 23:00 to 31 December 2051 22:59 are accepted."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QDateTime birth = QDateTime::fromString(QLatin1String(c.birth), Qt::ISODate);
    const QDate dayBefore = birth.date().addDays(-1);
    ChooseBirthPlace(c.choice);
    SetBirth(dayBefore, QTime(12, 0));
    ClickRun();
    const QImage board = Board();
    const QString html = ReadingHtml();
    const QString line = line_->toolTip();

    SetBirth(birth.date(), birth.time());
    ModalWatcher watcher;
    ClickRun();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(), c.said);
    EXPECT_EQ(Board(), board);
    EXPECT_EQ(ReadingHtml(), html);
    EXPECT_EQ(line_->toolTip(), line);
    EXPECT_TRUE(image_->toolTip().contains(dayBefore.toString("d MMMM yyyy")));
  }

  // Saying that daylight saving time was in force casts the first of the two.
  ChooseBirthPlace(Choice{"rbStandardTime", "America/New_York", 0, 1});
  SetBirth({2021, 11, 7}, {1, 30});
  ModalWatcher watcher;
  ClickRun();
  EXPECT_TRUE(watcher.Seen().empty());
  ExpectLine(
      "Cast from standard time, 7 November 2021, 00:30: clock time 01:30 in America/New_York, "
      "less 1 h for daylight saving time.");
}

TEST_F(BirthPlaceWindowTest, ClearingItCastsTheClockTimeAsEnteredAgain) {
  const QDate date(1988, 7, 15);
  const QTime clock(9, 30);
  const auto [board, html] = UncorrectedRun(date, clock);

  ChooseBirthPlace(std::nullopt);
  EXPECT_TRUE(line_->isHidden()) << "cancelled, nothing is set";
  ChooseBirthPlace(Choice{"rbStandardTime", "Asia/Shanghai"});
  SetBirth(date, clock);
  ClickRun();
  EXPECT_NE(Board(), board);

  ChooseBirthPlace(std::nullopt);
  EXPECT_TRUE(line_->toolTip().startsWith(QLatin1String("Cast from standard time")))
      << "cancelled, the birth place holds";
  ChooseBirthPlace(Choice{"rbClockTime"});
  ExpectLine(QStringLiteral(
      "Birth place cleared: press Run to cast the chart from the clock time as entered."));
  ClickRun();
  EXPECT_EQ(Board(), board);
  EXPECT_EQ(ReadingHtml(), html);
  EXPECT_TRUE(line_->isHidden());
}

}  // namespace
}  // namespace velmora
