#pragma once

#include "platform/ChartGraphic.h"
#include "plot/DrawingSurface.h"
#include "state/Design.h"

#include <QUndoStack>

#include <functional>
#include <string>

namespace valvix {

// Straightens a tilted scan from two points on its printed x axis: works out the tilt,
// turns the picture as one step of the history, and lets the second point be placed
// again once the picture has turned. Points are layout units on the picture as shown.
class AxisStraightening final {
public:
    using Redraw = std::function<bool()>;

    AxisStraightening(Design& design, ChartGraphic& graphic, QUndoStack& history, Redraw redraw);

    // The tilt of the picture now shown (0 for a picture never straightened).
    float tilt() const;
    // Turns the picture so that the axis from start to end, as shown now, is level.
    // Gives why not, or an empty text when done.
    std::string straighten(PointF start, PointF end);
    // Places the axis's end again where it is shown now.
    std::string placeEndAgain(PointF end);
    // Where the axis's end is shown now.
    PointF endShown() const;

private:
    std::string TurnBy(PointF end);
    PointF Turned(PointF at, float degrees) const;

    Design& m_design;

    ChartGraphic& m_graphic;
    QUndoStack& m_history;
    Redraw m_redraw;
    PointF m_start; // the axis, as shown at m_tiltBefore
    PointF m_end;
    float m_tiltBefore = 0;
};

} // namespace valvix
