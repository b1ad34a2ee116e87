#include "model/Triode.h"

namespace valvix {

TriodeParameters ParametersOf(const Design& design) {
    return TriodeParameters{design.Mu, design.Ex, design.Kg1, design.Kp, design.Kvb};
}

void SetParameters(Design& design, const TriodeParameters& p) {
    design.Mu = p.Mu;
    design.Ex = p.Ex;
    design.Kg1 = p.Kg1;
    design.Kp = p.Kp;
    design.Kvb = p.Kvb;
}

PlatePoint EvaluatePlatePoint(float vp, float vg, const TriodeParameters& p) {
    // Intermediate steps in double; only E1 and the current are rounded to Singles.
    return EvaluateInColumn(PlateColumnAt(vp, p), vg, p);
}

float PlateCurrent(float vp, float vg, const TriodeParameters& p, float& lastGood) {
    const PlatePoint point = EvaluatePlatePoint(vp, vg, p);
    if (point.ok) {
        lastGood = point.Ip;
    }
    return lastGood;
}

bool FamilyIsWalkable(const CurveFamily& family) {
    const float fullscale = family.PlateVoltageFullscale;
    if (!std::isfinite(fullscale) || !(fullscale > 0)) {
        return false;
    }
    if (!(ToSingle(static_cast<double>(fullscale) / 1000.0) > 0)) {
        return false;
    }
    const double pos = family.GridVoltageMostPos;
    const double neg = family.GridVoltageMostNeg;
    const double step = family.GridVoltageStep;
    if (!std::isfinite(pos) || !std::isfinite(neg) || !std::isfinite(step) || !(step > 0)) {
        return false;
    }
    // An empty family (most negative above most positive) is walkable: it yields nothing.
    return (pos - neg) / step + 1.0 <= kMostCurves + 1.0;
}

} // namespace valvix
