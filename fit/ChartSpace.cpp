#include "fit/ChartSpace.h"

#include "model/Triode.h"
#include "plot/FrameMapping.h"
#include "state/Single.h"

#include <cmath>

namespace valvix::fit {

namespace {

// The least frame, in picture pixels, that a fit can read curves from.
constexpr double kLeastFramePixels = 40;

} // namespace

ChartSpaceResult PictureSpace(const Design& design, int pictureWidth, int pictureHeight) {
    const FrameMapping frame = FrameMapping::of(design);
    const double fullV = design.PlateVoltageFullscale;
    const double fullI = design.PlateCurrentFullscale;
    if (!(fullV > 0) || !(fullI > 0) || !std::isfinite(fullV) || !std::isfinite(fullI)) {
        return {std::nullopt, "The full scales must be greater than 0 to fit."};
    }
    if (!(frame.plotWidth() > 0) || !(frame.plotHeight() > 0) ||
        !std::isfinite(frame.plotWidth()) || !std::isfinite(frame.plotHeight())) {
        return {std::nullopt, "The plot frame has no area, so there is nothing to fit to: "
                              "line it up with the chart's axes first."};
    }
    const ChartSpace space = InPicturePixels(LayoutSpace(design), pictureWidth, pictureHeight);
    // The part of the frame that lies on the picture.
    const double seenWidth =
        std::min(space.right, double(pictureWidth)) - std::max(space.left, 0.0);
    const double seenHeight =
        std::min(space.bottom, double(pictureHeight)) - std::max(space.top, 0.0);
    if (!(seenWidth >= kLeastFramePixels) || !(seenHeight >= kLeastFramePixels)) {
        return {std::nullopt, "The plot frame covers too little of the picture to fit (at "
                              "least 40 x 40 pixels are needed): line it up with the chart's "
                              "axes first."};
    }
    return {space, {}};
}

ChartSpace FullScaleSpace(const Design& design) {
    ChartSpace space;
    space.perVolt = 1000.0 / design.PlateVoltageFullscale;
    space.perAmp = 1000.0 / design.PlateCurrentFullscale;
    space.y0 = 1000;
    space.right = 1000;
    space.bottom = 1000;
    return space;
}

std::vector<float> FamilyGrids(const Design& design) {
    std::vector<float> grids;
    const CurveFamily family{design.PlateVoltageFullscale, design.GridVoltageMostPos,
                             design.GridVoltageMostNeg, design.GridVoltageStep};
    if (!FamilyIsWalkable(family)) {
        return grids;
    }
    // The same Single steps as the curve walk's inner loop.
    for (float vg = family.GridVoltageMostPos; vg >= family.GridVoltageMostNeg;) {
        grids.push_back(vg);
        const float next = ToSingle(static_cast<double>(vg) - family.GridVoltageStep);
        if (next == vg) {
            break;
        }
        vg = next;
    }
    return grids;
}

} // namespace valvix::fit
