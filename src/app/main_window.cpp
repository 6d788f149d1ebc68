#include "app/main_window.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimeEdit>

#include <algorithm>

#include "app/app_errors.h"
#include "app/birth_place_dialog.h"
#include "app/qt_rich_text_box.h"
#include "app/reading_file.h"
#include "calendar/birth_calendar.h"
#include "chart/palace_chart.h"
#include "presentation/birth_text.h"
#include "presentation/chart_painter.h"
#include "presentation/display_table.h"
#include "presentation/reading_writer.h"
#include "qt_drawing/board_file.h"
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

void Place(QWidget* control, const char* name, int left, int top, int width, int height) {
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

QString ShortDateDisplayFormat(const QLocale& locale) {
  QString format = locale.dateFormat(QLocale::ShortFormat);
  if (!format.contains(QLatin1String("yyyy")))
    format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
  return format;
}

// --- the board's image ---

ChartImage::ChartImage(QWidget* parent) : QWidget(parent) {}

ChartImage::~ChartImage() = default;

QImageSurface& ChartImage::Surface() {
  // The board is drawn at the screen's device pixel ratio, so that it is crisp at 1.5 and 2; on
  // a move to another screen what was drawn is drawn again at the new ratio.
  const double scale = devicePixelRatioF();
  if (!surface_ || surface_->Scale() != scale) {
    auto redrawn = std::make_unique<QImageSurface>(scale);
    if (surface_) surface_->Replay(*redrawn);
    surface_ = std::move(redrawn);
  }
  return *surface_;
}

QImageSurface ChartImage::BoardPixels() {
  QImageSurface board;
  Surface().Replay(board);
  return board;
}

void ChartImage::paintEvent(QPaintEvent*) {
  if (!surface_) return;
  QPainter painter(this);
  painter.drawImage(0, 0, Surface().Image());
  if (hasFocus()) {
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(2, 2, -2, -2);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
  }
}

void ChartImage::contextMenuEvent(QContextMenuEvent* event) {
  // From the keyboard the menu opens over the board rather than wherever the mouse is.
  OpenMenu(event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(rect().center())
                                                          : event->globalPos());
}

void ChartImage::keyPressEvent(QKeyEvent* event) {
  const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
  if (event->key() == Qt::Key_Menu || shiftF10) {
    OpenMenu(mapToGlobal(rect().center()));
    return;
  }
  QWidget::keyPressEvent(event);
}

void ChartImage::OpenMenu(QPoint globalPos) {
  QMenu menu(this);
  for (QAction* action : menuActions_) {
    if (action != nullptr) {
      menu.addAction(action);
    } else {
      menu.addSeparator();
    }
  }
  menu.exec(globalPos);
}

// --- the separator ---

void TopLineBevel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawLine(0, 0, width() - 1, 0);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(0, 1, width() - 1, 1);
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
    move(screen->availableGeometry().center() - rect().center());
  }
  CreateControls();
  CreateActions();
  FormCreate();
}

void TfrmMain::CreateControls() {
  Label1 = new QLabel(QStringLiteral("Birth date"), this);
  Place(Label1, "Label1", 8, 10, 45, 13);
  // The label sizes itself to its caption, which a wider fallback face needs.
  Label1->resize(std::max(Label1->width(), Label1->sizeHint().width()), Label1->height());

  dtpDate = new QDateEdit(this);
  Place(dtpDate, "dtpDate", 8, 32, 121, 21);
  dtpDate->setCalendarPopup(true);
  dtpDate->setDisplayFormat(ShortDateDisplayFormat());
  dtpDate->setDateRange(QDate(1901, 12, 31), QDate(2051, 12, 31));

  dtpTime = new QTimeEdit(this);
  Place(dtpTime, "dtpTime", 136, 32, 121, 21);
  dtpTime->setDisplayFormat(QStringLiteral("HH:mm "));

  rbFemale = new QRadioButton(QStringLiteral("Female"), this);
  Place(rbFemale, "rbFemale", 8, 69, 65, 17);
  rbFemale->setChecked(true);

  rbMale = new QRadioButton(QStringLiteral("Male "), this);
  Place(rbMale, "rbMale", 88, 69, 57, 17);

  Button1 = new QPushButton(QStringLiteral("Run"), this);
  Place(Button1, "Button1", 184, 64, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);

  Bevel2 = new TopLineBevel(this);
  Place(Bevel2, "Bevel2", 8, 96, 249, 17);

  RichEdit1 = new QTextEdit(this);
  Place(RichEdit1, "RichEdit1", 8, 112, 249, 321);
  RichEdit1->setFont(DialogFont(12));
  GiveOwnPaper(RichEdit1);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  RichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
  RichEdit1->setTabChangesFocus(true);
  RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(RichEdit1, &QTextEdit::customContextMenuRequested, this, &TfrmMain::ShowReadingMenu);

  Image1 = new ChartImage(this);
  Place(Image1, "Image1", 280, 32, kBoardImageSize, kBoardImageSize);
  Image1->setFocusPolicy(Qt::StrongFocus);

  // The free strip below the reading and the board, as wide as both: while a birth place is
  // set it says which moment the chart was cast from.
  lblBirthPlace = new QLabel(this);
  Place(lblBirthPlace, "lblBirthPlace", 8, 436, 673, 14);
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

  // An empty reading box has nothing to save or print.
  const auto followReading = [this] {
    const bool any = !RichEdit1->document()->isEmpty();
    actSaveReading->setEnabled(any);
    actPrintReading->setEnabled(any);
  };
  connect(RichEdit1->document(), &QTextDocument::contentsChanged, this, followReading);
  followReading();

  Image1->SetMenuActions({actBirthPlace, nullptr, actCopyChart, actSaveChart, nullptr,
                          actSaveReading, actPrintReading, nullptr, actAbout, actQuit});
}

void TfrmMain::FormCreate() {
  dtpDate->setDateTime(QDateTime::currentDateTime());
  dtpTime->setDateTime(QDateTime::currentDateTime());
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

TDateTime TfrmMain::BirthMoment() const {
  const QDate date = dtpDate->date();
  const QTime time = dtpTime->time();
  return EncodeDate(date.year(), date.month(), date.day()) +
         EncodeTime(time.hour(), time.minute(), time.second(), time.msec());
}

bool TfrmMain::CastMoment(TDateTime clock, TDateTime& cast, QString& line) {
  if (birthPlace_) {
    ClockCorrection correction;
    std::string error;
    if (!CorrectBirth(clock, *zone_, birthPlace_->zone, birthPlace_->place, kWindowDaylightHint,
                      correction, error)) {
      QMessageBox::warning(this, QStringLiteral("Velmora"), RefusalSentence(error));
      return false;
    }
    cast = correction.Cast();
    line = QString::fromStdString(CorrectionLine(correction, birthPlace_->zone));
    return true;
  }
  if (!IsSupportedBirthMoment(clock)) {
    const QDateTime asked(dtpDate->date(), dtpTime->time());
    QMessageBox::warning(
        this, QStringLiteral("Velmora"),
        QStringLiteral("Velmora casts charts for births from %1, local time; %2 lies outside.")
            .arg(QLatin1String(kSupportedBirthRange),
                 asked.toString(QStringLiteral("d MMMM yyyy HH:mm"))));
    return false;
  }
  cast = clock;
  line.clear();
  return true;
}

void TfrmMain::RunCommand() {
  TDateTime moment = 0.0;
  QString line;
  // A birth that cannot be cast is refused before anything on screen changes.
  if (!CastMoment(BirthMoment(), moment, line)) return;

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
  lastRun_ = Birth{dtpDate->date(), dtpTime->time()};
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

// --- the commands ---

QString TfrmMain::AskSavePath(const QString& title, const QList<FileType>& types,
                              QStandardPaths::StandardLocation firstFolder) {
  QString folder = lastFolder_;
  if (folder.isEmpty()) folder = QStandardPaths::writableLocation(firstFolder);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  const Birth birth = ShownBirth();
  const QString name = QStringLiteral("velmora-%1-%2%3")
                           .arg(birth.date.toString(QStringLiteral("yyyy-MM-dd")),
                                birth.time.toString(QStringLiteral("HHmm")), types[0].ending);
  QStringList filters;
  for (const FileType& type : types) filters << type.filter;
  QString filter = filters[0];
  QString path = QFileDialog::getSaveFileName(this, title, QDir(folder).filePath(name),
                                              filters.join(QStringLiteral(";;")), &filter);
  if (path.isEmpty()) return path;
  lastFolder_ = QFileInfo(path).absolutePath();
  if (QFileInfo(path).suffix().isEmpty()) {
    for (const FileType& type : types)
      if (type.filter == filter) path += type.ending;
  }
  return path;
}

void TfrmMain::CopyChart() {
  QGuiApplication::clipboard()->setImage(Image1->BoardPixels().Image());
}

void TfrmMain::SaveChartAs() {
  const QString path =
      AskSavePath(QStringLiteral("Save Chart As"),
                  {{QStringLiteral("PNG image (*.png)"), QStringLiteral(".png")},
                   {QStringLiteral("SVG drawing (*.svg)"), QStringLiteral(".svg")}},
                  QStandardPaths::PicturesLocation);
  if (path.isEmpty()) return;
  QString error;
  if (!SaveBoard(Image1->BoardPixels(), path, error)) ShowErrorMessage(this, error);
}

void TfrmMain::SaveReadingAs() {
  const QString path =
      AskSavePath(QStringLiteral("Save Reading As"),
                  {{QStringLiteral("HTML page (*.html *.htm)"), QStringLiteral(".html")},
                   {QStringLiteral("Plain text (*.txt)"), QStringLiteral(".txt")},
                   {QStringLiteral("PDF document (*.pdf)"), QStringLiteral(".pdf")}},
                  QStandardPaths::DocumentsLocation);
  if (path.isEmpty()) return;
  QString error;
  if (!SaveReading(*RichEdit1->document(), path, error)) ShowErrorMessage(this, error);
}

void TfrmMain::PrintReading() {
  QPrinter printer;
  printer.setDocName(QStringLiteral("Velmora reading"));
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("Print Reading"));
  if (dialog.exec() != QDialog::Accepted) return;
  RichEdit1->document()->print(&printer);
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
                     "Copyright \u00a9 2026 The Velmora developers.</p>")
          .arg(QLatin1String(kVersion)));
}

}  // namespace velmora
