#pragma once

#include "plot/FrameMapping.h"
#include "state/Design.h"

#include <optional>
#include <string>

namespace valvix {

// Plate volts and plate amps of a point on the Examine chart.
struct ReadoutPoint {
    float volts = 0;
    float amps = 0;
};

// The chart mapping run backwards for a press at (x, y) on the Examine window, its
// 3000-unit shift included, in single precision and without clamping: a press outside
// the frame gives values outside the axes. Maps through the frame of the chart's last
// drawing; a frame size of 0 gives a value that is not a number.
ReadoutPoint PositionToValues(float x, float y, const FrameMapping& drawnFrame,
                              const ExamineSettings& examine);

// The texts of the four readout labels after a press; an empty optional leaves that
// label as it is.
struct ReadoutTexts {
    std::optional<std::string> deltaV;
    std::optional<std::string> deltaI;
    std::optional<std::string> mu;
    std::optional<std::string> gm;
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

    ReadoutTexts ShowReadouts(float x, float y, int button, const FrameMapping& drawnFrame,
                              const ExamineSettings& examine);

    ReadoutPoint FirstPoint() const { return m_first; }
    ReadoutPoint SecondPoint() const { return m_second; }

private:
    ReadoutPoint m_first;
    ReadoutPoint m_second;
    float m_deltaV = 0;
    float m_deltaI = 0;
};

} // namespace valvix
