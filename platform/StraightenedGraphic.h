#pragma once

#include "platform/ChartGraphic.h"

#include <QImage>

#include <memory>

namespace valvix {

// The picture turned by -tiltDegrees about its centre (so that a line tilted by
// tiltDegrees clockwise comes out level), smoothly resampled, at its own size; white
// where no part of the picture lands.
QImage TurnedLevel(const QImage& image, double tiltDegrees);

// The chart picture as every window shows it and every fit reads it: the loaded picture
// turned level by the session's tilt of the picture named by GraphicFileName. The level
// picture is made once per loaded picture and angle and kept with the graphic, so a
// redraw never turns it again; a picture without a tilt is the loaded one itself.
std::shared_ptr<const Picture> StraightenedGraphic(ChartGraphic& graphic,
                                                   const std::string& graphicFileName,
                                                   std::shared_ptr<const Picture> loaded);

} // namespace valvix
