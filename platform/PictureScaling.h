#pragma once

#include <QImage>
#include <QSize>

namespace valvix {

// A copy of the picture scaled to exactly the target size, made with care because it is
// made once and painted many times. Along an axis that shrinks, every target pixel is the
// average of the source pixels it covers, weighted by how much of each it covers, so a
// thin line of a big scan fades into a fainter line instead of breaking up into dots;
// along an axis that grows, the pixels are interpolated smoothly. The copy is RGB32, or
// premultiplied ARGB32 when the picture has transparency. An empty target or picture
// gives an empty image.
QImage ScaledPicture(const QImage& source, QSize target);

} // namespace valvix
