#pragma once

#include "state/DesignState.h"

namespace valvix::test {

// A design that draws a family of six curves (0 to -10 V) over a 300 V, 5 mA frame.
inline DesignState SampleDesign() {
    DesignState d;
    d.Xleft = 465;
    d.Xright = 5910;
    d.Ytop = 210;
    d.Ybottom = 3690;
    d.PlateVoltageFullscale = 300;
    d.PlateCurrentFullscale = 0.005f;
    d.GridVoltageMostPos = 0;
    d.GridVoltageMostNeg = -10;
    d.GridVoltageStep = 2;
    d.Mu = 100;
    d.Ex = 1.4f;
    d.Kg1 = 1060;
    d.Kp = 600;
    d.Kvb = 300;
    return d;
}

} // namespace valvix::test
