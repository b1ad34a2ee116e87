#include "model/Triode.h"

namespace valvix {

TriodeParameters ParametersOf(const DesignState& design) {
    return TriodeParameters{design.Mu, design.Ex, design.Kg1, design.Kp, design.Kvb};
}

PlatePoint EvaluatePlatePoint(float vp, float vg, const TriodeParameters& p) {
    // Intermediate steps in double; only E1 and the current are rounded to Singles.
    const double vpd = vp;
    const double s = std::sqrt(static_cast<double>(p.Kvb) + vpd * vpd);
    const double a = static_cast<double>(p.Kp) * (1.0 / p.Mu + vg / s);
    const double ea = std::exp(a);
    if (!std::isfinite(ea)) {
        return {};
    }
    const float e1 = ToSingle(vpd / p.Kp * std::log(1.0 + ea));
    if (!(e1 >= 0.0f) || !std::isfinite(e1)) {
        return PlatePoint{false, e1, 0};
    }
    const double quotient = std::pow(static_cast<double>(e1), static_cast<double>(p.Ex)) / p.Kg1;
    const float ip = ToSingle(quotient + quotient);
    if (!std::isfinite(ip)) {
        return PlatePoint{false, e1, 0};
    }
    return PlatePoint{true, e1, ip};
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
