#pragma once

#include "plot/DrawingSurface.h"
#include "state/Design.h"

namespace valvix {

// The chart area: wherever the chart picture lies under the frame it is stretched into
// this rectangle of layout units.
inline constexpr PointF kChartAreaTopLeft{360, 30};
inline constexpr float kChartAreaWidth = 5700;
inline constexpr float kChartAreaHeight = 3800;

// A point of the chart area in the pixels of a picture of the given size stretched over
// it (pixel i covers [i, i + 1)), and back.
PointF ToPicturePixels(PointF at, int pictureWidth, int pictureHeight);
PointF FromPicturePixels(PointF pixel, int pictureWidth, int pictureHeight);

// A chart's axes and frame in some units (layout units, or a picture's pixels): x grows
// with the plate voltage, y downward as the current grows.
struct ChartSpace {
    double x0 = 0;      // x of 0 V
    double perVolt = 1; // x units per volt
    double y0 = 0;      // y of 0 A
    double perAmp = 1;  // y units per ampere (y = y0 - perAmp * amps)
    // The plot frame in these units.
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;

    double x(double volts) const { return x0 + perVolt * volts; }
    double y(double amps) const { return y0 - perAmp * amps; }
    double volts(double x) const { return (x - x0) / perVolt; }
    double amps(double y) const { return (y0 - y) / perAmp; }
    // Strictly inside the frame.
    bool Inside(double x, double y) const { return x > left && x < right && y > top && y < bottom; }
};

// The design's frame and full scales in layout units: 0 V at Xleft, full scale at Xright,
// 0 A at Ybottom, full scale at Ytop. Full scales of 0 give infinite steps per unit.
ChartSpace LayoutSpace(const Design& design);

// A space in layout units carried into the pixels of a picture of the given size
// stretched over the chart area.
ChartSpace InPicturePixels(const ChartSpace& layout, int pictureWidth, int pictureHeight);

} // namespace valvix
