#pragma once

#include "state/DesignState.h"

#include <optional>
#include <string>

namespace valvix {

// Plate volts and plate amps of a point on the Examine chart.
struct ChartPoint {
    float volts = 0;
    float amps = 0;
};

// The chart mapping run backwards for a press at (x, y) on the Examine window, its
// 3000-unit shift included, in single precision and without clamping: a press outside
// the frame gives values outside the axes. Uses PlotWidth and PlotHeight as the last
// drawing left them; a size of 0 gives a value that is not a number.
ChartPoint PositionToValues(float x, float y, const DesignState& design);

// The texts of the four readout labels after a press; an empty optional leaves that
// label as it is.
struct ReadoutTexts {
    std::optional<std::string> deltaV; // Label9
    std::optional<std::string> deltaI; // Label10
    std::optional<std::string> mu;     // Label11
    std::optional<std::string> gm;     // Label12
};

// The Examine window's point readouts. A left press marks FirstPoint and empties the
// labels; a right press marks SecondPoint and shows the differences from FirstPoint
// with mu and Gm over ExamineGridStep. Both points start at 0 V and 0 A.
//
// A label whose number cannot be computed (a zero frame size or grid step) is emptied,
// as are mu when it reads as 0 and Gm when DeltaI is 0.
class PointReadouts final {
public:
    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;

    ReadoutTexts ShowReadouts(float x, float y, int button, const DesignState& design);

    ChartPoint FirstPoint() const { return m_first; }
    ChartPoint SecondPoint() const { return m_second; }
    float DeltaV() const { return m_deltaV; }
    float DeltaI() const { return m_deltaI; }

private:
    ChartPoint m_first;
    ChartPoint m_second;
    float m_deltaV = 0;
    float m_deltaI = 0;
};

} // namespace valvix
