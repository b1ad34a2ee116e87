#include "plot/FrameMapping.h"

#include "state/Single.h"

namespace valvix {

FrameMapping::FrameMapping(float xleft, float xright, float ytop, float ybottom)
    : m_xleft(xleft), m_xright(xright), m_ytop(ytop), m_ybottom(ybottom),
      m_plotWidth(ToSingle(static_cast<double>(xright) - xleft)),
      m_plotHeight(ToSingle(static_cast<double>(ybottom) - ytop)) {}

FrameMapping FrameMapping::of(const Design& design) {
    return {design.Xleft, design.Xright, design.Ytop, design.Ybottom};
}

// A zero full scale or frame size gives infinities or undefined values here; the
// strict inside test then lets none of them through, so nothing is drawn.
float FrameMapping::VoltsToX(double volts, double fullscaleVolts) const {
    return ToSingle(m_xleft + volts * m_plotWidth / fullscaleVolts);
}

float FrameMapping::AmpsToY(double amps, double fullscaleAmps) const {
    return ToSingle(m_ybottom - amps * m_plotHeight / fullscaleAmps);
}

float FrameMapping::DissipationToY(double watts, double vp, double fullscaleAmps) const {
    return ToSingle(m_ybottom - watts * m_plotHeight / vp / fullscaleAmps);
}

float FrameMapping::XToVolts(double x, double fullscaleVolts) const {
    return ToSingle((x - m_xleft) / m_plotWidth * fullscaleVolts);
}

float FrameMapping::YToAmps(double y, double fullscaleAmps) const {
    return ToSingle((m_ybottom - y) / m_plotHeight * fullscaleAmps);
}

} // namespace valvix
