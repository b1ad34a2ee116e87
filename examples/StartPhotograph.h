#pragma once

#include <QImage>

namespace valvix::pictures {

// A "photograph" of a glowing glass triode on a dark tabletop, 200 x 329 pixels.
QImage RenderPhotograph();

} // namespace valvix::pictures
