#include "app/main_window.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTimeEdit>

#include <algorithm>

#include "app/app_errors.h"
#include "app/qt_rich_text_box.h"
#include "calendar/birth_calendar.h"
#include "chart/palace_chart.h"
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

const QString kPngFilter = QStringLiteral("PNG image (*.png)");
const QString kSvgFilter = QStringLiteral("SVG drawing (*.svg)");

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
  if (!surface_) surface_ = std::make_unique<QImageSurface>();
  return *surface_;
}

void ChartImage::paintEvent(QPaintEvent*) {
  if (!surface_) return;
  QPainter painter(this);
  painter.drawImage(0, 0, surface_->Image());
}

void ChartImage::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("Copy Chart"));
  QAction* save = menu.addAction(QStringLiteral("Save Chart As\u2026"));
  copy->setEnabled(HasPicture());
  save->setEnabled(HasPicture());
  const QAction* chosen = menu.exec(event->globalPos());
  if (chosen == copy) GuardCommand(this, [this] { CopyChart(); });
  if (chosen == save) GuardCommand(this, [this] { SaveChartAs(); });
}

void ChartImage::CopyChart() {
  if (!surface_) return;
  QGuiApplication::clipboard()->setImage(surface_->Image());
}

void ChartImage::SaveChartAs() {
  if (!surface_) return;
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  QString filter = kPngFilter;
  QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save Chart As"), QDir(folder).filePath(QStringLiteral("chart.png")),
      kPngFilter + QStringLiteral(";;") + kSvgFilter, &filter);
  if (path.isEmpty()) return;
  // A name without an extension takes that of the chosen file type.
  if (QFileInfo(path).suffix().isEmpty()) {
    path += filter == kSvgFilter ? QStringLiteral(".svg") : QStringLiteral(".png");
  }
  QString error;
  if (!SaveBoard(*surface_, path, error)) ShowErrorMessage(this, error);
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
  connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);

  Bevel2 = new TopLineBevel(this);
  Place(Bevel2, "Bevel2", 8, 96, 249, 17);

  RichEdit1 = new QTextEdit(this);
  Place(RichEdit1, "RichEdit1", 8, 112, 249, 321);
  RichEdit1->setFont(DialogFont(12));
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  RichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
  RichEdit1->setTabChangesFocus(true);

  Image1 = new ChartImage(this);
  Place(Image1, "Image1", 280, 32, kBoardImageSize, kBoardImageSize);

  setTabOrder(dtpDate, dtpTime);
  setTabOrder(dtpTime, rbFemale);
  setTabOrder(rbFemale, rbMale);
  setTabOrder(rbMale, Button1);
  setTabOrder(Button1, RichEdit1);
}

void TfrmMain::FormCreate() {
  dtpDate->setDateTime(QDateTime::currentDateTime());
  dtpTime->setDateTime(QDateTime::currentDateTime());
  ChartPainter painter;
  painter.surface = &Image1->Surface();
  painter.surface->Clear();
  painter.DrawGrid();
  Image1->update();
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

void TfrmMain::RunCommand() {
  const TDateTime moment = BirthMoment();
  // An unsupported birth is refused before anything on screen changes.
  if (!IsSupportedBirthMoment(moment)) {
    const QDateTime asked(dtpDate->date(), dtpTime->time());
    QMessageBox::warning(
        this, QStringLiteral("Velmora"),
        QStringLiteral("Velmora casts charts for births from %1, local time; %2 lies outside.")
            .arg(QLatin1String(kSupportedBirthRange),
                 asked.toString(QStringLiteral("d MMMM yyyy HH:mm"))));
    return;
  }

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

  QtRichTextBox box(*RichEdit1);
  const QtRichTextBox::Batch batch(box);
  WriteReading(SharedDisplayTable(), box);
}

}  // namespace velmora
