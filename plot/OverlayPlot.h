#pragma once

#include "plot/ChartGeometry.h"
#include "plot/DrawingSurface.h"
#include "state/Design.h"

#include <string>
#include <vector>

namespace valvix {

// Paints the chart picture into the chart area. False when there is none.
bool PaintChartArea(DrawingSurface& surface, const Picture* chartPicture);

// Draws the frame outline in blue with the surface's current pen width.
void DrawPlotFrame(DrawingSurface& surface, const Design& design);

// Says in one sentence why the design's curves cannot be drawn as meant (a full scale
// or grid step that is not positive, a zero model parameter, a crossed or empty
// frame, a family too large to walk), or gives an empty text when nothing is wrong.
std::string DescribePlotProblem(const Design& design);

// The curve family and the dissipation curve of the design drawn as dots over the
// chart: blue model curves with the walk's pen widths, then the red dissipation curve
// with the pen width the family left. Only dots strictly inside the frame are drawn.
// The dots are handed to the surface in batches; the buffers are kept between passes.
class OverlayPlot final {
public:
    void draw(DrawingSurface& surface, const Design& design);

private:
    std::vector<PointF> m_thin;  // pen width 2
    std::vector<PointF> m_thick; // pen width 3: the 0 V curve
    std::vector<PointF> m_limit; // dissipation curve
    // The plate current of the last model point computed; a point that fails takes it.
    float m_lastPlateCurrent = 0;
};

} // namespace valvix
