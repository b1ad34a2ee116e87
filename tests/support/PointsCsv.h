#pragma once

#include "model/Triode.h"

#include <fstream>
#include <string>

namespace valvix::test {

// A points file of exact points of the given curves, every 25 V from 25 V up to the
// full scale, in mA.
inline void WritePointsCsv(const std::string& path, const TriodeParameters& p, float fullscale, float gridFrom,
                           float gridTo, float gridStep) {
    std::ofstream csv(path);
    csv << "Vp,Vg,Ip (mA)\n";
    for (float vg = gridFrom; vg >= gridTo; vg -= gridStep) {
        for (float vp = 25; vp <= fullscale; vp += 25) {
            csv << vp << ',' << vg << ',' << 1000 * EvaluatePlatePoint(vp, vg, p).Ip << '\n';
        }
    }
}

} // namespace valvix::test
