#pragma once

#include <algorithm>
#include <utility>
#include <vector>

namespace valvix::fit {

// The middle value (the upper middle of an even count); 0 for none.
inline double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The spread of distances, robust to a few far ones: 1.4826 median distances, the
// standard deviation where they are normally distributed.
inline double Spread(std::vector<double> distances) {
    return 1.4826 * Median(std::move(distances));
}

} // namespace valvix::fit
