#pragma once

#include <QDate>
#include <QList>
#include <QLocale>
#include <QStandardPaths>
#include <QString>
#include <QTime>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

#include "app/birth_place_dialog.h"
#include "app/date_field.h"
#include "app/drawn_controls.h"
#include "calendar/date_time.h"
#include "casting/birth_input.h"
#include "qt_drawing/qt_image_surface.h"
#include "time_zone/system_zone.h"

class QAction;
class QKeyEvent;
class QLabel;
class QPushButton;
class QRadioButton;
class QTextDocument;
class QTextEdit;

namespace velmora {

// The main window: birth date and time in, drawn chart and coloured reading out.
class TfrmMain final : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmMain(QWidget* parent = nullptr);

 protected:
  // Enter and keypad Enter run from any control that does not use the key itself.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // A birth as the pickers give it: a date and a clock time.
  struct Birth {
    QDate date;
    QTime time;
  };

  void CreateControls();
  void CreateActions();
  void FormCreate();
  // Enables the commands that need a chart, or a reading, once there is one.
  void EnableChartCommands();
  void Button1Click();
  void RunCommand();
  // The moment the chart of the clock time `clock` is cast from, and in `line` the sentence
  // that says so when a birth place corrects it. False, after showing the refusal, for a birth
  // that cannot be cast.
  bool CastMoment(TDateTime clock, TDateTime& cast, QString& line);
  // The birth the fields' texts name: the date dtpDate shows (within the range of births or
  // not) and the hours and minutes of dtpTime. False, after showing the refusal, when a field's
  // text names no date or time.
  bool TypedBirth(QDate& date, QTime& time);

  // The birth the window shows: that of the last Run, or before any Run the pickers' values.
  Birth ShownBirth() const;
  // "velmora-2000-02-04-2300": the name the files of the shown birth are offered under.
  QString FileBaseName() const;
  // Tells the board's tool tip and accessible name which birth it shows.
  void DescribeBoard();
  void ShowReadingMenu(QPoint pos);

  void CopyChart();
  void SaveChartAs();
  void SaveReadingAs();
  void PrintReading();
  void ShowAbout();
  // Asks for the birth place that corrects the clock time of every Run from now on.
  void ChooseBirthPlace();
  // Shows `line` in the strip below the reading and the board, elided to its width; an empty
  // line hides the strip's label.
  void ShowPlaceLine(const QString& line);
  // Closes the window, which ends the program.
  void Quit();

  // One way of saving a file: the dialog's filter and the ending a bare name gets with it.
  struct FileType {
    QString filter;
    QString ending;
  };
  // Asks where to save, offering `velmora-<birth>` with the first type's ending in the last folder
  // used (at first `firstFolder`). A name without an ending takes that of the chosen type. Empty
  // when the user cancels.
  QString AskSavePath(const QString& title, const QList<FileType>& types,
                      QStandardPaths::StandardLocation firstFolder);
  // The folder saves open in: the last one saved to, at first `firstFolder`.
  QString SaveFolder(QStandardPaths::StandardLocation firstFolder) const;
  // The last Run's birth, as the casting layer takes it. Only after a Run.
  BirthInput LastBirthInput() const;
  // The reading laid out for paper: a heading naming the last Run's birth (and its correction),
  // the board and the reading as the box holds it.
  std::unique_ptr<QTextDocument> PrintedReadingOfLastRun();

  std::optional<Birth> lastRun_;
  // The correction of the last Run's clock time and its zone, when a birth place corrected it.
  std::optional<ClockCorrection> lastCorrection_;
  std::string lastZone_;
  std::optional<Place> lastCity_;  // the city the last correction named, when it named one
  QString lastFolder_;             // the folder of the last save, for this run of the program only
  // The birth place that corrects the clock time, for this run of the program only, with its
  // zone; and whether the chart shown was cast from a corrected moment.
  std::optional<BirthPlaceSetting> birthPlace_;
  std::optional<SystemZone> zone_;
  bool shownCorrected_ = false;

  QAction* actCopyChart = nullptr;
  QAction* actSaveChart = nullptr;
  QAction* actSaveReading = nullptr;
  QAction* actPrintReading = nullptr;
  QAction* actBirthPlace = nullptr;
  QAction* actAbout = nullptr;
  QAction* actQuit = nullptr;

  QLabel* Label1 = nullptr;
  BirthDateEdit* dtpDate = nullptr;
  BirthTimeEdit* dtpTime = nullptr;
  QRadioButton* rbFemale = nullptr;
  QRadioButton* rbMale = nullptr;
  QPushButton* Button1 = nullptr;
  TopLineBevel* Bevel2 = nullptr;
  QTextEdit* RichEdit1 = nullptr;
  ChartImage* Image1 = nullptr;
  QLabel* lblBirthPlace = nullptr;
};

// Where the window goes on the free area of its screen: at its centre; on a screen too small for
// it (a large scale factor on a small screen), at the top left of the free area, so that the
// title bar and the controls stay within reach.
QPoint PlaceOnScreen(const QRect& free, const QSize& window);

// The date format the date picker shows: the system's short date format, with the year always
// in four digits, since births on both sides of 2000 must stay apart.
QString ShortDateDisplayFormat(const QLocale& locale = QLocale::system());

}  // namespace velmora
