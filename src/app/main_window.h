#pragma once

#include <QLocale>
#include <QWidget>

#include <memory>

#include "calendar/date_time.h"
#include "qt_drawing/qt_image_surface.h"

class QContextMenuEvent;
class QDateEdit;
class QLabel;
class QPaintEvent;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTimeEdit;

namespace velmora {

// The board's image: shows the 401 x 401 bitmap it owns and offers "Copy Chart" and
// "Save Chart As…" on a right click.
class ChartImage final : public QWidget {
  Q_OBJECT
 public:
  explicit ChartImage(QWidget* parent);
  ~ChartImage() override;

  // The drawing surface, created at the image's size on first use.
  QImageSurface& Surface();
  bool HasPicture() const { return surface_ != nullptr; }

  void CopyChart();
  void SaveChartAs();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  std::unique_ptr<QImageSurface> surface_;
};

// A separator that draws one sunken line along its top edge.
class TopLineBevel final : public QWidget {
  Q_OBJECT
 public:
  explicit TopLineBevel(QWidget* parent) : QWidget(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The main window: birth date and time in, drawn chart and coloured reading out.
class TfrmMain final : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmMain(QWidget* parent = nullptr);

 private:
  void CreateControls();
  void FormCreate();
  void Button1Click();
  void RunCommand();
  // The date part of dtpDate plus the time-of-day part of dtpTime.
  TDateTime BirthMoment() const;

  QLabel* Label1 = nullptr;
  QDateEdit* dtpDate = nullptr;
  QTimeEdit* dtpTime = nullptr;
  QRadioButton* rbFemale = nullptr;
  QRadioButton* rbMale = nullptr;
  QPushButton* Button1 = nullptr;
  TopLineBevel* Bevel2 = nullptr;
  QTextEdit* RichEdit1 = nullptr;
  ChartImage* Image1 = nullptr;
};

// The date format the date picker shows: the system's short date format, with the year always
// in four digits, since births on both sides of 2000 must stay apart.
QString ShortDateDisplayFormat(const QLocale& locale = QLocale::system());

}  // namespace velmora
