#pragma once

#include "state/Design.h"

#include <array>

namespace valvix::test {

using D = Design;
using Values = std::array<float, 14>;

// The fields a design file brings back, in file order.
// clang-format off
inline constexpr std::array<float D::*, 14> kFileFields{
    &D::Xleft, &D::Xright, &D::Ytop, &D::Ybottom, &D::PlateVoltageFullscale, &D::PlateCurrentFullscale,
    &D::GridVoltageMostPos, &D::GridVoltageMostNeg, &D::GridVoltageStep, &D::Mu, &D::Ex, &D::Kg1, &D::Kp, &D::Kvb};
// clang-format on

inline Design DesignOf(const Values& values, Design d = {}) {
    for (std::size_t i = 0; i < values.size(); ++i)
        d.*kFileFields[i] = values[i];
    return d;
}
inline Values ValuesOf(const Design& d) {
    Values values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = d.*kFileFields[i];
    return values;
}

// The design every test starts from: a 12AX7 fit over a frame 6000 units wide and 4500
// high, 250 V and 5 mA full scale, grid voltages 0 to -10 V in 1 V steps; the Examine
// settings at their start values, as before that window first opens.
inline Design SampleDesign() {
    return DesignOf({600, 6600, 300, 4800, 250, 0.005f, 0, -10, 1, 100, 1.4f, 1060, 600, 300});
}

// A design with Examine settings: what an Examine drawing, the test schematic and the
// simulator check read. A field of either half is a member pointer of this one.
struct ExaminedDesign : Design, ExamineSettings {};

// The sample as the Examine window's first opening leaves it.
inline ExaminedDesign ExaminedSample() {
    ExaminedDesign d{SampleDesign(), {}};
    d.ExamineVoltsFullscale = 250, d.ExamineVoltsStep = 50, d.ExamineAmpsFullscale = 0.005f, d.ExamineAmpsStep = 0.001f;
    d.ExamineGridMostNeg = -10, d.ExamineGridStep = 1, d.ExamineSettingsKept = d.LabelGridVoltages = 1;
    return d;
}

} // namespace valvix::test
