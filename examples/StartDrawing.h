#pragma once

#include <QImage>

namespace valvix::pictures {

// A schematic drawing of a triode with a sketch of its plate curves, 412 x 255 pixels.
QImage RenderDrawing();

} // namespace valvix::pictures
