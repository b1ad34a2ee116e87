#pragma once

#include <cmath>
#include <limits>

namespace valvix {

// Rounds a double to a Single (32-bit float). Values beyond the Single range become
// infinities instead of relying on an out-of-range conversion.
inline float ToSingle(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax || value < -kMax) {
        // Doubles within half an ulp of the largest Single still round down to it.
        const float rounded = static_cast<float>(value);
        if (std::isfinite(rounded)) {
            return rounded;
        }
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// True when the double is finite and representable as a finite Single.
inline bool FitsSingle(double value) {
    return std::isfinite(value) && std::isfinite(ToSingle(value));
}

} // namespace valvix
