#include "plot/Readouts.h"

#include "plot/ExamineChart.h"
#include "state/EngineeringText.h"

#include <cmath>
#include <limits>

namespace valvix {

namespace {

constexpr float kNotANumber = std::numeric_limits<float>::quiet_NaN();

// Single-precision quotient, or not a number instead of a division by zero.
float Ratio(float numerator, float denominator) {
    return denominator == 0 ? kNotANumber : numerator / denominator;
}

} // namespace

ReadoutPoint PositionToValues(float x, float y, const FrameMapping& drawnFrame,
                              const ExamineSettings& examine) {
    const float volts =
        Ratio((x - drawnFrame.xleft()) - kExamineChartShift, drawnFrame.plotWidth()) *
        examine.ExamineVoltsFullscale;
    const float amps =
        Ratio(drawnFrame.ybottom() - y, drawnFrame.plotHeight()) * examine.ExamineAmpsFullscale;
    return {volts, amps};
}

ReadoutTexts PointReadouts::ShowReadouts(float x, float y, int button,
                                         const FrameMapping& drawnFrame,
                                         const ExamineSettings& examine) {
    ReadoutTexts texts;
    if (button == kLeftButton) {
        texts = {std::string(), std::string(), std::string(), std::string()};
        m_first = PositionToValues(x, y, drawnFrame, examine);
        return texts;
    }
    if (button != kRightButton) {
        return texts;
    }

    m_second = PositionToValues(x, y, drawnFrame, examine);
    m_deltaI = std::fabs(m_second.amps - m_first.amps);
    m_deltaV = std::fabs(m_second.volts - m_first.volts);
    const float gridStep = examine.ExamineGridStep;

    texts.deltaV = std::isfinite(m_deltaV) ? "Delta V: " + FormatEngineering(m_deltaV) : "";
    texts.deltaI = std::isfinite(m_deltaI) ? "Delta I: " + FormatEngineering(m_deltaI) : "";

    texts.mu = "";
    const float mu = Ratio(m_deltaV, gridStep);
    if (std::isfinite(mu)) {
        const std::string t = FormatEngineering(mu);
        if (t != "0  ") {
            texts.mu = "mu: " + t;
        }
    }

    // Micromhos, in double precision.
    texts.gm = "";
    if (m_deltaI != 0 && gridStep != 0) {
        const double gm = std::fabs(static_cast<double>(m_deltaI) * 1000000.0 / gridStep);
        if (std::isfinite(gm)) {
            texts.gm = "Gm: " + FormatEngineering(gm) + " umhos";
        }
    }
    return texts;
}

} // namespace valvix
