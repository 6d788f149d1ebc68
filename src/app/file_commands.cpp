// The window's commands on files: copying the board, saving the board and the reading, printing
// the reading.
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <QTextEdit>

#include "app/app_errors.h"
#include "app/main_window.h"
#include "app/reading_file.h"
#include "casting/chart_report.h"
#include "presentation/birth_text.h"
#include "qt_drawing/board_file.h"

namespace velmora {

QString TfrmMain::SaveFolder(QStandardPaths::StandardLocation firstFolder) const {
  QString folder = lastFolder_;
  if (folder.isEmpty()) folder = QStandardPaths::writableLocation(firstFolder);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  return folder;
}

QString TfrmMain::AskSavePath(const QString& title, const QList<FileType>& types,
                              QStandardPaths::StandardLocation firstFolder) {
  const QString folder = SaveFolder(firstFolder);
  const QString name = FileBaseName() + types[0].ending;
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

std::unique_ptr<QTextDocument> TfrmMain::PrintedReadingOfLastRun() {
  ReadingHeading heading;
  if (lastRun_) {
    const BirthInput birth = LastBirthInput();
    heading.title = QStringLiteral("Velmora chart for a birth on ") +
                    QString::fromStdString(LongBirthText(birth));
    ChartReport report;
    report.CastChart(birth, lastCorrection_ ? &*lastCorrection_ : nullptr, lastZone_,
                     lastCity_ ? &*lastCity_ : nullptr);
    heading.correction = QString::fromStdString(report.CorrectionText());
  }
  return PrintedReading(*RichEdit1->document(), heading, Image1->BoardPixels().Image());
}

BirthInput TfrmMain::LastBirthInput() const {
  return {{lastRun_->date.year(), lastRun_->date.month(), lastRun_->date.day()},
          lastRun_->time.hour(),
          lastRun_->time.minute()};
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
  // The HTML page is velmora-cli's for the same birth: a title and a heading that say whose
  // reading it is, the board and the reading in its colours.
  std::string page;
  if (ReadingFileKindOf(path) == ReadingFileKind::kHtml && lastRun_) {
    ChartReport report;
    report.Cast(LastBirthInput(), lastCorrection_ ? &*lastCorrection_ : nullptr, lastZone_,
                lastCity_ ? &*lastCity_ : nullptr);
    page = report.HtmlPage();
  }
  if (!SaveReading(*RichEdit1->document(), *PrintedReadingOfLastRun(), path, page, error))
    ShowErrorMessage(this, error);
}

void TfrmMain::PrintReading() {
  QPrinter printer;
  // Printed to a file, the file is offered under the birth's name in the folder last saved to,
  // as the other saves are.
  printer.setDocName(FileBaseName());
  const bool printers = !QPrinterInfo::availablePrinterNames().isEmpty();
  printer.setOutputFileName(QDir(SaveFolder(QStandardPaths::DocumentsLocation))
                                .filePath(FileBaseName() + QStringLiteral(".pdf")));
  // A printer of the system, where there is one, stays the first choice.
  if (printers) printer.setOutputFormat(QPrinter::NativeFormat);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("Print Reading"));
  if (dialog.exec() != QDialog::Accepted) return;
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
    lastFolder_ = QFileInfo(printer.outputFileName()).absolutePath();
  QString error;
  if (!PrintReadingOn(printer, *PrintedReadingOfLastRun(), error)) ShowErrorMessage(this, error);
}

}  // namespace velmora
