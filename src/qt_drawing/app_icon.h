#pragma once

#include <QImage>

namespace velmora {

// The application icon, the chart board in miniature: twelve cells round an empty centre, drawn
// at `size` pixels square. The same design as packaging/velmora.svg, on a 256-unit square.
QImage DrawAppIcon(int size);

}  // namespace velmora
