#include "plot/ChartGeometry.h"

namespace valvix {

PointF ToPicturePixels(PointF at, int pictureWidth, int pictureHeight) {
    return {(at.x - kChartAreaTopLeft.x) * static_cast<float>(pictureWidth) / kChartAreaWidth,
            (at.y - kChartAreaTopLeft.y) * static_cast<float>(pictureHeight) / kChartAreaHeight};
}

PointF FromPicturePixels(PointF pixel, int pictureWidth, int pictureHeight) {
    return {static_cast<float>(kChartAreaTopLeft.x +
                               static_cast<double>(pixel.x) * kChartAreaWidth / pictureWidth),
            static_cast<float>(kChartAreaTopLeft.y +
                               static_cast<double>(pixel.y) * kChartAreaHeight / pictureHeight)};
}

ChartSpace LayoutSpace(const Design& design) {
    ChartSpace space;
    space.left = design.Xleft;
    space.right = design.Xright;
    space.top = design.Ytop;
    space.bottom = design.Ybottom;
    space.x0 = space.left;
    space.perVolt = (space.right - space.left) / design.PlateVoltageFullscale;
    space.y0 = space.bottom;
    space.perAmp = (space.bottom - space.top) / design.PlateCurrentFullscale;
    return space;
}

ChartSpace InPicturePixels(const ChartSpace& layout, int pictureWidth, int pictureHeight) {
    const double sx = pictureWidth / static_cast<double>(kChartAreaWidth);
    const double sy = pictureHeight / static_cast<double>(kChartAreaHeight);
    ChartSpace space;
    space.left = (layout.left - kChartAreaTopLeft.x) * sx;
    space.right = (layout.right - kChartAreaTopLeft.x) * sx;
    space.top = (layout.top - kChartAreaTopLeft.y) * sy;
    space.bottom = (layout.bottom - kChartAreaTopLeft.y) * sy;
    space.x0 = (layout.x0 - kChartAreaTopLeft.x) * sx;
    space.perVolt = layout.perVolt * sx;
    space.y0 = (layout.y0 - kChartAreaTopLeft.y) * sy;
    space.perAmp = layout.perAmp * sy;
    return space;
}

} // namespace valvix
