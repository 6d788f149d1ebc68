#include "app/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimeEdit>

#include <algorithm>

#include "app/app_errors.h"
#include "app/birth_place_dialog.h"
#include "app/qt_rich_text_box.h"
#include "calendar/birth_calendar.h"
#include "casting/birth_place.h"
#include "chart/palace_chart.h"
#include "presentation/birth_text.h"
#include "presentation/chart_painter.h"
#include "presentation/display_table.h"
#include "presentation/reading_writer.h"
#include "version.h"

namespace velmora {

namespace {

constexpr int kClientWidth = 697;
constexpr int kClientHeight = 453;

// The dialog face at a pixel height: the window's own font is 11 pixels high, the reading's 12.
QFont DialogFont(int pixelHeight) {
  QFont font(DialogFaceFamily());
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight);
  return font;
}

void PutWidget(QWidget* control, const char* name, int left, int top, int width, int height) {
  control->setObjectName(QLatin1String(name));
  control->setGeometry(left, top, width, height);
}

// The reading's paper and ink, the box's own whatever the desktop's colour scheme, so that the
// reading's red, blue and maroon keep their contrast, as on the board's white.
void GiveOwnPaper(QWidget* box) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  box->setPalette(palette);
}

// What the window tells the user to do about a clock time the zone's clocks showed twice.
constexpr const char* kWindowDaylightHint =
    "choose in Birth Place\u2026 (Ctrl+B) whether daylight saving time was in force";

bool IsEnterKey(const QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  return enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

QPoint PlaceOnScreen(const QRect& free, const QSize& window) {
  const QPoint centred = free.center() - QRect(QPoint(0, 0), window).center();
  return {std::max(centred.x(), free.left()), std::max(centred.y(), free.top())};
}

QString ShortDateDisplayFormat(const QLocale& locale) {
  QString format = locale.dateFormat(QLocale::ShortFormat);
  if (!format.contains(QLatin1String("yyyy")))
    format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
  return format;
}

// --- the main window ---

TfrmMain::TfrmMain(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Velmora  ") + QLatin1String(kVersion));
  setFont(DialogFont(11));
  setFixedSize(kClientWidth, kClientHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(PlaceOnScreen(screen->availableGeometry(), size()));
  }
  CreateControls();
  CreateActions();
  FormCreate();
}

void TfrmMain::CreateControls() {
  Label1 = new QLabel(QStringLiteral("Birth date"), this);
  PutWidget(Label1, "Label1", 8, 10, 45, 13);
  // The label sizes itself to its caption, which a wider fallback face needs.
  Label1->resize(std::max(Label1->width(), Label1->sizeHint().width()), Label1->height());

  dtpDate = new BirthDateEdit(this);
  PutWidget(dtpDate, "dtpDate", 8, 32, 121, 21);
  dtpDate->setCalendarPopup(true);
  dtpDate->setDisplayFormat(ShortDateDisplayFormat());
  dtpDate->setDateRange(QDate(1901, 12, 31), QDate(2051, 12, 31));
  // A screen reader names each field; the label names the date field for it too.
  dtpDate->setAccessibleName(QStringLiteral("Birth date"));
  Label1->setBuddy(dtpDate);

  dtpTime = new BirthTimeEdit(this);
  PutWidget(dtpTime, "dtpTime", 136, 32, 121, 21);
  dtpTime->setDisplayFormat(QStringLiteral("HH:mm "));
  dtpTime->setAccessibleName(QStringLiteral("Birth time"));

  rbFemale = new QRadioButton(QStringLiteral("Female"), this);
  PutWidget(rbFemale, "rbFemale", 8, 69, 65, 17);
  rbFemale->setChecked(true);

  rbMale = new QRadioButton(QStringLiteral("Male "), this);
  PutWidget(rbMale, "rbMale", 88, 69, 57, 17);

  Button1 = new RunButton(QStringLiteral("Run"), this);
  PutWidget(Button1, "Button1", 184, 64, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);

  Bevel2 = new TopLineBevel(this);
  PutWidget(Bevel2, "Bevel2", 8, 96, 249, 17);

  RichEdit1 = new QTextEdit(this);
  PutWidget(RichEdit1, "RichEdit1", 8, 112, 249, 321);
  RichEdit1->setFont(DialogFont(12));
  RichEdit1->setAccessibleName(QStringLiteral("Reading"));
  GiveOwnPaper(RichEdit1);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  RichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
  RichEdit1->setTabChangesFocus(true);
  RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(RichEdit1, &QTextEdit::customContextMenuRequested, this, &TfrmMain::ShowReadingMenu);

  Image1 = new ChartImage(this);
  PutWidget(Image1, "Image1", 280, 32, kBoardImageSize, kBoardImageSize);
  Image1->setFocusPolicy(Qt::StrongFocus);

  // The free strip below the reading and the board, as wide as both: while a birth place is
  // set it says which moment the chart was cast from.
  lblBirthPlace = new QLabel(this);
  PutWidget(lblBirthPlace, "lblBirthPlace", 8, 436, 673, 14);
  lblBirthPlace->setTextFormat(Qt::PlainText);
  lblBirthPlace->hide();

  setTabOrder(dtpDate, dtpTime);
  setTabOrder(dtpTime, rbFemale);
  setTabOrder(rbFemale, rbMale);
  setTabOrder(rbMale, Button1);
  setTabOrder(Button1, RichEdit1);
  setTabOrder(RichEdit1, Image1);
}

// The window's commands. They belong to the window, so their shortcuts work from every control,
// and the board's and the reading's menus show them with their shortcuts.
void TfrmMain::CreateActions() {
  const auto command = [this](const char* name, const QString& text, const QKeySequence& keys,
                              void (TfrmMain::*handler)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    action->setShortcutVisibleInContextMenu(true);
    connect(action, &QAction::triggered, this,
            [this, handler] { GuardCommand(this, [this, handler] { (this->*handler)(); }); });
    addAction(action);
    return action;
  };
  actCopyChart = command("actCopyChart", QStringLiteral("Copy Chart"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &TfrmMain::CopyChart);
  actSaveChart = command("actSaveChart", QStringLiteral("Save Chart As\u2026"),
                         QKeySequence(Qt::CTRL | Qt::Key_S), &TfrmMain::SaveChartAs);
  actSaveReading =
      command("actSaveReading", QStringLiteral("Save Reading As\u2026"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &TfrmMain::SaveReadingAs);
  actPrintReading = command("actPrintReading", QStringLiteral("Print Reading\u2026"),
                            QKeySequence(Qt::CTRL | Qt::Key_P), &TfrmMain::PrintReading);
  actBirthPlace = command("actBirthPlace", QStringLiteral("Birth Place\u2026"),
                          QKeySequence(Qt::CTRL | Qt::Key_B), &TfrmMain::ChooseBirthPlace);
  actAbout = command("actAbout", QStringLiteral("About Velmora"), QKeySequence(Qt::Key_F1),
                     &TfrmMain::ShowAbout);
  actQuit = command("actQuit", QStringLiteral("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                    &TfrmMain::Quit);

  connect(RichEdit1->document(), &QTextDocument::contentsChanged, this,
          &TfrmMain::EnableChartCommands);
  EnableChartCommands();

  Image1->SetMenuActions({actBirthPlace, nullptr, actCopyChart, actSaveChart, nullptr,
                          actSaveReading, actPrintReading, nullptr, actAbout, actQuit});
}

void TfrmMain::EnableChartCommands() {
  // Before the first Run there is no chart to copy, save or print; an empty reading box has no
  // reading to save or print.
  const bool chart = lastRun_.has_value();
  const bool reading = chart && !RichEdit1->document()->isEmpty();
  actCopyChart->setEnabled(chart);
  actSaveChart->setEnabled(chart);
  actSaveReading->setEnabled(reading);
  actPrintReading->setEnabled(reading);
}

void TfrmMain::FormCreate() {
  dtpDate->setDateTime(QDateTime::currentDateTime());
  // The time picker shows hours and minutes only, so it holds the present minute: seconds it
  // does not show must not move the cast.
  const QTime now = QTime::currentTime();
  dtpTime->setTime(QTime(now.hour(), now.minute()));
  ChartPainter painter;
  painter.surface = &Image1->Surface();
  painter.surface->Clear();
  painter.DrawGrid();
  Image1->update();
  DescribeBoard();
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
  if (IsEnterKey(event)) {
    Button1->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TfrmMain::Button1Click() {
  GuardCommand(this, [this] { RunCommand(); });
}

bool TfrmMain::TypedBirth(QDate& date, QTime& time) {
  // A typed date or time is cast as typed, or refused: never another birth.
  const auto refuse = [this](const QString& problem, QWidget* field) {
    QMessageBox::warning(this, QStringLiteral("Velmora"), problem);
    field->setFocus();
    return false;
  };
  if (const QString problem = dtpDate->TypedDateProblem(); !problem.isEmpty())
    return refuse(problem, dtpDate);
  if (const QString problem = dtpTime->TypedTimeProblem(); !problem.isEmpty())
    return refuse(problem, dtpTime);
  date = dtpDate->TypedValue().date();
  time = dtpTime->TypedValue().time();
  return true;
}

bool TfrmMain::CastMoment(TDateTime clock, TDateTime& cast, QString& line) {
  std::string error;
  ClockCorrection correction;
  const bool castable = birthPlace_
                            ? CorrectBirth(clock, *zone_, birthPlace_->zone, birthPlace_->place,
                                           kWindowDaylightHint, correction, error)
                            : CheckSupportedMoment(clock, error);
  if (!castable) {
    QMessageBox::warning(this, QStringLiteral("Velmora"), RefusalSentence(error));
    return false;
  }
  cast = birthPlace_ ? correction.Cast() : clock;
  lastCorrection_.reset();
  if (birthPlace_) lastCorrection_ = correction;
  lastZone_ = birthPlace_ ? birthPlace_->zone : std::string();
  lastCity_ = birthPlace_ ? birthPlace_->city : std::nullopt;
  line = birthPlace_ ? QString::fromStdString(CorrectionLine(
                           correction, lastCity_ ? PlaceWithZone(*lastCity_) : lastZone_))
                     : QString();
  return true;
}

void TfrmMain::RunCommand() {
  QDate date;
  QTime time;
  if (!TypedBirth(date, time)) return;
  const TDateTime clock =
      EncodeDate(date.year(), date.month(), date.day()) + EncodeTime(time.hour(), time.minute());
  TDateTime moment = 0.0;
  QString line;
  // A birth that cannot be cast is refused before anything on screen changes; a date outside
  // the range stays in its field as typed.
  if (!CastMoment(clock, moment, line)) {
    std::string error;
    if (!CheckSupportedMoment(clock, error)) dtpDate->setFocus();
    return;
  }
  // The fields now show what is cast, in their own forms.
  dtpDate->setDate(date);
  dtpTime->setTime(time);

  RichEdit1->clear();
  PalaceChart chart;
  ClearDisplayTable();
  chart.SetBirthMoment(moment);
  chart.ComputeChart();
  BuildDisplayTable(chart);

  ChartPainter painter;
  painter.surface = &Image1->Surface();
  painter.surface->Clear();
  painter.DrawChart(SharedDisplayTable());
  Image1->update();
  lastRun_ = Birth{date, time};
  DescribeBoard();
  shownCorrected_ = !line.isEmpty();
  ShowPlaceLine(line);

  {
    QtRichTextBox box(*RichEdit1);
    const QtRichTextBox::Batch batch(box);
    WriteReading(SharedDisplayTable(), box);
  }
  // The reading is a whole: undo starts again from it, and never takes it apart or brings back
  // the text of an earlier Run.
  RichEdit1->document()->clearUndoRedoStacks();
  EnableChartCommands();
}

QString TfrmMain::FileBaseName() const {
  const Birth birth = ShownBirth();
  return QStringLiteral("velmora-%1-%2")
      .arg(birth.date.toString(QStringLiteral("yyyy-MM-dd")),
           birth.time.toString(QStringLiteral("HHmm")));
}

TfrmMain::Birth TfrmMain::ShownBirth() const {
  return lastRun_ ? *lastRun_ : Birth{dtpDate->date(), dtpTime->time()};
}

void TfrmMain::DescribeBoard() {
  const QString description = lastRun_
                                  ? QStringLiteral("Chart of the birth on %1 at %2")
                                        .arg(lastRun_->date.toString(QStringLiteral("d MMMM yyyy")),
                                             lastRun_->time.toString(QStringLiteral("HH:mm")))
                                  : QStringLiteral("Empty chart board: press Run to cast a birth");
  Image1->setToolTip(description);
  Image1->setAccessibleName(description);
}

void TfrmMain::ShowReadingMenu(QPoint pos) {
  const std::unique_ptr<QMenu> menu(RichEdit1->createStandardContextMenu(pos));
  menu->addSeparator();
  menu->addAction(actSaveReading);
  menu->addAction(actPrintReading);
  menu->addSeparator();
  menu->addAction(actBirthPlace);
  menu->exec(RichEdit1->viewport()->mapToGlobal(pos));
}

void TfrmMain::ChooseBirthPlace() {
  BirthPlaceDialog dialog(birthPlace_, this);
  if (dialog.exec() != QDialog::Accepted || dialog.Setting() == birthPlace_) return;
  birthPlace_ = dialog.Setting();
  if (birthPlace_) {
    zone_.emplace(birthPlace_->zone);
    ShowPlaceLine(PlaceSummary(*birthPlace_) +
                  QStringLiteral(". Press Run to cast the chart from it."));
  } else {
    zone_.reset();
    // The chart shown may still be that of a corrected moment until the next Run.
    ShowPlaceLine(shownCorrected_ ? QStringLiteral("Birth place cleared: press Run to cast the "
                                                   "chart from the clock time as entered.")
                                  : QString());
  }
}

void TfrmMain::ShowPlaceLine(const QString& line) {
  lblBirthPlace->setVisible(!line.isEmpty());
  lblBirthPlace->setText(
      lblBirthPlace->fontMetrics().elidedText(line, Qt::ElideRight, lblBirthPlace->width()));
  lblBirthPlace->setToolTip(line);
  lblBirthPlace->setAccessibleName(line);
}

void TfrmMain::Quit() {
  close();
}

void TfrmMain::ShowAbout() {
  QMessageBox::about(
      this, QStringLiteral("About Velmora"),
      QStringLiteral("<p><b>Velmora %1</b></p>"
                     "<p>Velmora casts a Chinese palace-and-star natal chart from a birth date and "
                     "a local clock time, draws it as a board and writes an English reading of "
                     "every palace and star.</p>"
                     "<p>Released under the MIT License.<br>"
                     "Copyright \u00a9 2026 The Velmora developers.</p>"
                     "<p>Birth places by city: data from GeoNames (geonames.org), under the "
                     "Creative Commons Attribution 4.0 License (CC BY 4.0).</p>")
          .arg(QLatin1String(kVersion)));
}

}  // namespace velmora
