#pragma once

#include <QList>
#include <QPoint>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <memory>

#include "qt_drawing/qt_image_surface.h"

class QAction;
class QContextMenuEvent;
class QKeyEvent;
class QPaintEvent;

namespace velmora {

// The board's image: shows the 401 x 401 bitmap it owns and opens its menu on a right click,
// the Menu key or Shift+F10. It takes the keyboard focus, and shows it with a focus frame.
class ChartImage final : public QWidget {
  Q_OBJECT
 public:
  explicit ChartImage(QWidget* parent);
  ~ChartImage() override;

  // The drawing surface, created at the image's size on first use.
  QImageSurface& Surface();
  // The board at its own 401 x 401 pixels, whatever the screen's ratio, for copies and files.
  QImageSurface BoardPixels();
  bool HasPicture() const { return surface_ != nullptr; }

  // The entries of the board's menu, in order; a null entry is a separator.
  void SetMenuActions(const QList<QAction*>& actions) { menuActions_ = actions; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OpenMenu(QPoint globalPos);

  std::unique_ptr<QImageSurface> surface_;
  QList<QAction*> menuActions_;
};

// The Run button. The window's default button already wears the style's emphasis, which in many
// styles is the same as the focus's, so it draws a focus frame of its own while it has the focus.
class RunButton final : public QPushButton {
  Q_OBJECT
 public:
  RunButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A separator that draws one sunken line along its top edge.
class TopLineBevel final : public QWidget {
  Q_OBJECT
 public:
  explicit TopLineBevel(QWidget* parent) : QWidget(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace velmora
