#include "qt_drawing/qt_image_surface.h"

#include <QFontDatabase>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// 96 dots per inch, the resolution the board's 8-point font is measured at.
constexpr int kDotsPerMeter96Dpi = 3780;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString DialogFaceFamily() {
  static const QString family = [] {
    const QString wanted = QStringLiteral("MS Sans Serif");
    if (QFontDatabase::hasFamily(wanted)) return wanted;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  }();
  return family;
}

QFont BoardFont(bool bold) {
  QFont font(DialogFaceFamily());
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  font.setBold(bold);
  return font;
}

QImageSurface::QImageSurface(double scale)
    : scale_(scale >= 1.0 ? scale : 1.0),
      image_(static_cast<int>(std::ceil(kBoardImageSize * scale_)),
             static_cast<int>(std::ceil(kBoardImageSize * scale_)), QImage::Format_RGB32),
      font_(BoardFont(false)) {
  image_.setDotsPerMeterX(kDotsPerMeter96Dpi);
  image_.setDotsPerMeterY(kDotsPerMeter96Dpi);
  // The painter works in the board's own pixels; the image holds scale_ times as many.
  image_.setDevicePixelRatio(scale_);
  calls_.reserve(256);
  image_.fill(Qt::white);
}

void QImageSurface::Clear() {
  image_.fill(Qt::white);
  calls_.clear();
}

void QImageSurface::MoveTo(std::int32_t x, std::int32_t y) {
  penX_ = x;
  penY_ = y;
  calls_.push_back({DrawCall::Kind::Move, x, y, false, {}});
}

void QImageSurface::LineTo(std::int32_t x, std::int32_t y) {
  const PixelRect line = LinePixels(penX_, penY_, x, y);
  // At a scale above 1 a line runs the scaled length but stays one device pixel thick, at the
  // scaled position of its board pixel.
  const auto device = [&](std::int32_t at) { return static_cast<std::int32_t>(at * scale_); };
  const std::int32_t left = device(line.x);
  const std::int32_t top = device(line.y);
  const std::int32_t width = line.width == 1 ? 1 : device(line.x + line.width) - left;
  const std::int32_t height = line.height == 1 ? 1 : device(line.y + line.height) - top;
  for (std::int32_t row = top; row < top + height && row < image_.height(); ++row) {
    QRgb* const pixels = reinterpret_cast<QRgb*>(image_.scanLine(row)) + left;
    std::fill(pixels, pixels + std::min(width, image_.width() - left), qRgb(0, 0, 0));
  }
  penX_ = x;
  penY_ = y;
  calls_.push_back({DrawCall::Kind::Line, x, y, false, {}});
}

void QImageSurface::SetBold(bool bold) {
  font_.setBold(bold);
  calls_.push_back({DrawCall::Kind::Bold, 0, 0, bold, {}});
}

void QImageSurface::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
  const QString s = FromUtf8(text);
  QPainter painter(&image_);
  painter.setFont(font_);
  const QFontMetrics metrics = painter.fontMetrics();
  // The string's cell, advance wide and one line high, is filled white and the glyphs go on it.
  // Their edges are kept inside it, so that nothing shows left of the point the text starts at.
  const QRect cell(x, y, metrics.horizontalAdvance(s), metrics.height());
  painter.fillRect(cell, Qt::white);
  painter.setClipRect(cell);
  painter.setPen(Qt::black);
  painter.drawText(QPoint(x, y + metrics.ascent()), s);
  calls_.push_back({DrawCall::Kind::Text, x, y, false, std::string(text)});
}

void QImageSurface::Replay(DrawingSurface& target) const {
  target.Clear();
  for (const DrawCall& call : calls_) {
    switch (call.kind) {
      case DrawCall::Kind::Move:
        target.MoveTo(call.x, call.y);
        break;
      case DrawCall::Kind::Line:
        target.LineTo(call.x, call.y);
        break;
      case DrawCall::Kind::Bold:
        target.SetBold(call.bold);
        break;
      case DrawCall::Kind::Text:
        target.TextOut(call.x, call.y, call.text);
        break;
    }
  }
}

}  // namespace velmora
