#include "windows/AxisStraightening.h"

#include "plot/AlignmentGeometry.h"
#include "windows/ChangeCommand.h"

#include <cmath>

namespace valvix {

AxisStraightening::AxisStraightening(Design& design, ChartGraphic& graphic, QUndoStack& history,
                                     Redraw redraw)
    : m_design(design), m_graphic(graphic), m_history(history), m_redraw(std::move(redraw)) {}

float AxisStraightening::tilt() const {
    const GraphicTilt& kept = m_graphic.CurveGraphicTilt;
    return kept.fileName == m_design.GraphicFileName ? kept.degrees : 0.0f;
}

std::string AxisStraightening::straighten(PointF start, PointF end) {
    m_start = start;
    m_tiltBefore = tilt();
    return TurnBy(end);
}

std::string AxisStraightening::placeEndAgain(PointF end) {
    // The picture has turned since the axis was clicked: back to how it was shown then.
    return TurnBy(Turned(end, tilt() - m_tiltBefore));
}

PointF AxisStraightening::endShown() const {
    return Turned(m_end, m_tiltBefore - tilt());
}

PointF AxisStraightening::Turned(PointF at, float degrees) const {
    // Turning makes a new picture of the same size.
    return TurnedWithPicture(at, degrees, m_graphic.CurveGraphic->width(),
                             m_graphic.CurveGraphic->height());
}

std::string AxisStraightening::TurnBy(PointF end) {
    const TiltOutcome axis =
        AxisTilt(m_start, end, m_graphic.CurveGraphic->width(), m_graphic.CurveGraphic->height());
    if (!axis.refusal.empty()) {
        return axis.refusal;
    }
    const float total = m_tiltBefore + axis.degrees;
    if (std::abs(total) > kLargestTilt) {
        return "Straightening would turn the picture by more than 45 degrees. The picture is "
               "unchanged.";
    }
    m_end = end;
    if (total != tilt()) {
        m_history.push(new TiltCommand(
            {m_graphic.CurveGraphicTilt.fileName, tilt()}, {m_design.GraphicFileName, total},
            [this](const std::pair<std::string, float>& next) {
                m_graphic.CurveGraphicTilt.fileName = next.first;
                m_graphic.CurveGraphicTilt.degrees = next.second;
                m_redraw();
            },
            "Straighten"));
    }
    return {};
}

} // namespace valvix
