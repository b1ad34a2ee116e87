#pragma once

#include "state/Design.h"
#include "state/Single.h"

#include <cmath>
#include <cstdint>

namespace valvix {

struct TriodeParameters {
    float Mu = 0;
    float Ex = 0;
    float Kg1 = 0;
    float Kp = 0;
    float Kvb = 0;
};

TriodeParameters ParametersOf(const Design& design);
// Puts the five parameters into the design.
void SetParameters(Design& design, const TriodeParameters& p);

// One evaluation of the plate-current equation. ok is false when the point fails
// (an overflow, or a negative or undefined E1); E1 and Ip are Singles.
struct PlatePoint {
    bool ok = false;
    float E1 = 0;
    float Ip = 0;
};
PlatePoint EvaluatePlatePoint(float vp, float vg, const TriodeParameters& p);

// The terms of the equation that depend on the plate voltage alone, in double: a walk
// works them out once per plate voltage and shares them among all its grid voltages.
struct PlateColumn {
    double s;         // square root of (Kvb + Vp squared)
    double vpOverKp;  // Vp / Kp
    double inverseMu; // 1 / Mu
};

inline PlateColumn PlateColumnAt(float vp, const TriodeParameters& p) {
    const double vpd = vp;
    return {std::sqrt(static_cast<double>(p.Kvb) + vpd * vpd), vpd / p.Kp, 1.0 / p.Mu};
}

// The equation at one grid voltage of a column: the same operations in the same order
// as EvaluatePlatePoint, so the same bits.
inline PlatePoint EvaluateInColumn(const PlateColumn& column, float vg, const TriodeParameters& p) {
    const double a = static_cast<double>(p.Kp) * (column.inverseMu + vg / column.s);
    const double ea = std::exp(a);
    if (!std::isfinite(ea)) {
        return {};
    }
    const float e1 = ToSingle(column.vpOverKp * std::log(1.0 + ea));
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

// Plate current in amperes. A failed point gives lastGood; a point that succeeds
// updates lastGood.
float PlateCurrent(float vp, float vg, const TriodeParameters& p, float& lastGood);

// The grid-voltage range and plate-voltage full scale of a curve family.
struct CurveFamily {
    float PlateVoltageFullscale = 0;
    float GridVoltageMostPos = 0;
    float GridVoltageMostNeg = 0;
    float GridVoltageStep = 0;
};

struct FamilySample {
    float Vp;
    float Vg;
    float Ip;
    int PenWidth; // 3 for the 0 V curve, else 2
};

struct DissipationSample {
    float Vp;
    float Ip;
};

// The largest family a validated design can ask for (grid voltages from +1000 to
// -1000 in steps of 0.1). A larger one is not walked at all.
inline constexpr double kMostCurves = 20001;

// True when the family's numbers let the walk end: a finite full scale above 0 and a
// finite grid range with a positive step and at most kMostCurves curves.
bool FamilyIsWalkable(const CurveFamily& family);

// Samples the family column by column: plate voltage is the outer loop (1000 steps
// up to full scale), grid voltage the inner one from the most positive down. Both
// loop variables are Singles accumulating their steps. Calls yield(FamilySample)
// once per sample. A family that is not walkable yields nothing.
template <class Yield>
void CurveFamilyWalk(const CurveFamily& family, const TriodeParameters& p, float& lastGood,
                     Yield&& yield) {
    if (!FamilyIsWalkable(family)) {
        return;
    }
    const float fullscale = family.PlateVoltageFullscale;
    const float stepV = ToSingle(static_cast<double>(fullscale) / 1000.0);
    float vp = 0;
    while (vp <= fullscale) {
        const float gridEnd = family.GridVoltageMostNeg;
        const float gridStep = -family.GridVoltageStep;
        const PlateColumn column = PlateColumnAt(vp, p);
        float vg = family.GridVoltageMostPos;
        while (vg >= gridEnd) {
            const int pen = vg == 0.0f ? 3 : 2;
            const PlatePoint point = EvaluateInColumn(column, vg, p);
            if (point.ok) {
                lastGood = point.Ip; // a failed point keeps the last current that was computed
            }
            yield(FamilySample{vp, vg, lastGood, pen});
            const float next = ToSingle(static_cast<double>(vg) + gridStep);
            if (next == vg) {
                break; // the step no longer moves the Single: stop the curve loop
            }
            vg = next;
        }
        const float nextV = ToSingle(static_cast<double>(vp) + stepV);
        if (nextV == vp) {
            break;
        }
        vp = nextV;
    }
}

// Samples Ip = dissipation / Vp from one hundredth of full scale up to full scale
// in steps of a thousandth. Nothing when dissipation is 0 or less (or undefined) or
// the full scale is not a finite positive number.
template <class Yield> void DissipationWalk(float dissipation, float fullscale, Yield&& yield) {
    if (!(dissipation > 0) || !std::isfinite(dissipation) || !(fullscale > 0) ||
        !std::isfinite(fullscale)) {
        return;
    }
    const float stepV = ToSingle(static_cast<double>(fullscale) / 1000.0);
    float vp = ToSingle(static_cast<double>(fullscale) / 100.0);
    if (!(stepV > 0) || !(vp > 0)) {
        return;
    }
    while (vp <= fullscale) {
        yield(DissipationSample{vp, ToSingle(static_cast<double>(dissipation) / vp)});
        const float next = ToSingle(static_cast<double>(vp) + stepV);
        if (next == vp) {
            break;
        }
        vp = next;
    }
}

} // namespace valvix
