#include "plot/OverlayPlot.h"

#include "model/Triode.h"
#include "plot/FrameMapping.h"

#include <cmath>

namespace valvix {

bool PaintChartArea(DrawingSurface& surface, const Picture* chartPicture) {
    return surface.picture(chartPicture, kChartAreaTopLeft, kChartAreaWidth, kChartAreaHeight);
}

void DrawPlotFrame(DrawingSurface& surface, const Design& design) {
    surface.rectangle({design.Xleft, design.Ytop}, {design.Xright, design.Ybottom}, kBlue);
}

std::string DescribePlotProblem(const Design& design) {
    if (!(design.PlateVoltageFullscale > 0) || !std::isfinite(design.PlateVoltageFullscale)) {
        return "The plate voltage full scale must be greater than 0.";
    }
    if (!(design.PlateCurrentFullscale > 0) || !std::isfinite(design.PlateCurrentFullscale)) {
        return "The plate current full scale must be greater than 0.";
    }
    if (!(design.GridVoltageStep > 0)) {
        return "The grid voltage step must be greater than 0.";
    }
    if (design.Mu == 0 || design.Kp == 0 || design.Kg1 == 0) {
        return "Mu, Kp and Kg1 must not be 0.";
    }
    if (!(design.Xleft < design.Xright) || !(design.Ytop < design.Ybottom)) {
        return "The plot frame has no area: its left edge must lie left of its right edge "
               "and its top edge above its bottom edge.";
    }
    const CurveFamily family{design.PlateVoltageFullscale, design.GridVoltageMostPos,
                             design.GridVoltageMostNeg, design.GridVoltageStep};
    if (!FamilyIsWalkable(family)) {
        return "The grid voltages give too many curves to draw.";
    }
    return {};
}

void OverlayPlot::draw(DrawingSurface& surface, const Design& design) {
    const FrameMapping frame = FrameMapping::of(design);
    const double fullscaleV = design.PlateVoltageFullscale;
    const double fullscaleI = design.PlateCurrentFullscale;
    const CurveFamily family{design.PlateVoltageFullscale, design.GridVoltageMostPos,
                             design.GridVoltageMostNeg, design.GridVoltageStep};
    m_thin.clear();
    m_thick.clear();
    m_limit.clear();

    // All model dots are the same blue, so drawing the thin and the thick ones as two
    // batches looks exactly like drawing them in walk order.
    int lastPen = 0;
    CurveFamilyWalk(family, ParametersOf(design), m_lastPlateCurrent, [&](const FamilySample& s) {
        lastPen = s.PenWidth;
        const float x = frame.VoltsToX(s.Vp, fullscaleV);
        const float y = frame.AmpsToY(s.Ip, fullscaleI);
        if (frame.Inside(x, y)) {
            (s.PenWidth == 3 ? m_thick : m_thin).push_back({x, y});
        }
    });
    if (!m_thick.empty()) {
        surface.setPenWidth(3);
        surface.dots(m_thick.data(), m_thick.size(), kBlue);
    }
    if (!m_thin.empty()) {
        surface.setPenWidth(2);
        surface.dots(m_thin.data(), m_thin.size(), kBlue);
    }
    if (lastPen != 0) {
        surface.setPenWidth(lastPen);
    }

    const double watts = design.Dissipation;
    DissipationWalk(design.Dissipation, design.PlateVoltageFullscale,
                    [&](const DissipationSample& s) {
                        const float x = frame.VoltsToX(s.Vp, fullscaleV);
                        const float y = frame.DissipationToY(watts, s.Vp, fullscaleI);
                        if (frame.Inside(x, y)) {
                            m_limit.push_back({x, y});
                        }
                    });
    if (!m_limit.empty()) {
        surface.dots(m_limit.data(), m_limit.size(), kRed);
    }
}

} // namespace valvix
