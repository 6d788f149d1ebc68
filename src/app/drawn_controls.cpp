#include "app/drawn_controls.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace velmora {

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

// --- the Run button ---

void RunButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  QStyleOptionFocusRect frame;
  frame.initFrom(this);
  frame.rect = rect().adjusted(4, 4, -4, -4);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

// --- the separator ---

void TopLineBevel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawLine(0, 0, width() - 1, 0);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(0, 1, width() - 1, 1);
}

}  // namespace velmora
