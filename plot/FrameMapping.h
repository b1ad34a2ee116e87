#pragma once

#include "state/Design.h"

namespace valvix {

// The plot frame and its mapping between plate volts / amps and layout units.
// Every plot and readout maps through this one class.
class FrameMapping final {
public:
    FrameMapping(float xleft, float xright, float ytop, float ybottom);

    // The design's frame, as every plotting pass takes it when it starts.
    static FrameMapping of(const Design& design);

    float plotWidth() const { return m_plotWidth; }
    float plotHeight() const { return m_plotHeight; }

    // x = Xleft + v * PlotWidth / fullscaleVolts (multiply, divide, add; in double).
    float VoltsToX(double volts, double fullscaleVolts) const;
    // y = Ybottom - i * PlotHeight / fullscaleAmps.
    float AmpsToY(double amps, double fullscaleAmps) const;
    // y of the dissipation limit at vp: Ybottom - watts * PlotHeight / vp / fullscaleAmps.
    float DissipationToY(double watts, double vp, double fullscaleAmps) const;
    // Inverses, for the point readouts.
    float XToVolts(double x, double fullscaleVolts) const;
    float YToAmps(double y, double fullscaleAmps) const;

    // Strictly inside: y below the top edge and x between the side edges. There is no
    // test against the bottom edge. Undefined coordinates are never inside.
    bool Inside(float x, float y) const { return y > m_ytop && x > m_xleft && x < m_xright; }

    float xleft() const { return m_xleft; }
    float xright() const { return m_xright; }
    float ytop() const { return m_ytop; }
    float ybottom() const { return m_ybottom; }

private:
    float m_xleft;
    float m_xright;
    float m_ytop;
    float m_ybottom;
    float m_plotWidth;
    float m_plotHeight;
};

} // namespace valvix
