#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "presentation/drawing_surface.h"

namespace velmora {

// The family of the system's dialog face: "MS Sans Serif" where it is installed, otherwise the
// platform's general sans-serif face. Needs a QGuiApplication.
QString DialogFaceFamily();

// The board's own font: the dialog face at 8 points, black, regular unless bold is asked for.
QFont BoardFont(bool bold);

// The board's bitmap: 401 x 401 pixels, white, drawn with a one-pixel black pen, text on opaque
// white boxes in the board font. It also keeps the drawing calls made since the last Clear, so
// that the same board can be drawn again on another surface (the SVG export).
class QImageSurface final : public DrawingSurface {
 public:
  // `scale` device pixels to a board pixel (1, or a screen's device pixel ratio such as 1.5 or
  // 2): the bitmap is that much larger and says so as its device pixel ratio, so that it is
  // drawn crisp at the board's own size.
  explicit QImageSurface(double scale = 1.0);
  double Scale() const { return scale_; }

  const QImage& Image() const { return image_; }

  void Clear() override;
  void MoveTo(std::int32_t x, std::int32_t y) override;
  void LineTo(std::int32_t x, std::int32_t y) override;
  void SetBold(bool bold) override;
  void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;

  // Draws everything drawn here since the last Clear onto `target`, after clearing it.
  void Replay(DrawingSurface& target) const;

 private:
  struct DrawCall {
    enum class Kind { Move, Line, Bold, Text } kind;
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool bold = false;
    std::string text;
  };

  double scale_;
  QImage image_;
  QFont font_;
  std::int32_t penX_ = 0;
  std::int32_t penY_ = 0;
  std::vector<DrawCall> calls_;
};

}  // namespace velmora
