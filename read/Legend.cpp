#include "read/Legend.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace valvix::read {

namespace {

// Entries stand between these many character heights apart, every one within this share of
// the first spacing, their left ends within this many heights of the first's, and as tall
// as the first within this share.
constexpr double kLeastSpacing = 1.1;
constexpr double kMostSpacing = 3;
constexpr double kEvenShare = 0.12;
constexpr double kAlignedHeights = 0.6;
constexpr double kTallShare = 0.4;

double Middle(const cv::Rect& line) {
    return line.y + line.height / 2.0;
}

// The column that starts with `first` and whose second entry is `second`, top to bottom.
std::vector<std::size_t> ColumnFrom(const std::vector<cv::Rect>& lines,
                                    const std::vector<std::size_t>& downward, std::size_t first,
                                    std::size_t second, double height) {
    const cv::Rect& top = lines[downward[first]];
    const double spacing = Middle(lines[downward[second]]) - Middle(top);
    std::vector<std::size_t> column{downward[first]};
    for (std::size_t k = first + 1; k < downward.size(); ++k) {
        const cv::Rect& line = lines[downward[k]];
        const double below = Middle(line) - Middle(lines[column.back()]);
        if (std::abs(line.x - top.x) > kAlignedHeights * height ||
            std::abs(line.height - top.height) > kTallShare * top.height) {
            continue;
        }
        if (below > (1 + kEvenShare) * spacing) {
            break;
        }
        if (std::abs(below - spacing) <= kEvenShare * spacing) {
            column.push_back(downward[k]);
        }
    }
    return column;
}

// The longest column of the lines, top to bottom, leaving out those `taken`.
std::vector<std::size_t> LongestColumn(const std::vector<cv::Rect>& lines,
                                       const std::vector<std::size_t>& taken, double height) {
    std::vector<std::size_t> downward(lines.size());
    std::iota(downward.begin(), downward.end(), std::size_t{0});
    std::erase_if(downward, [&](std::size_t i) { return std::ranges::count(taken, i) > 0; });
    std::sort(downward.begin(), downward.end(),
              [&](std::size_t a, std::size_t b) { return Middle(lines[a]) < Middle(lines[b]); });
    std::vector<std::size_t> longest;
    for (std::size_t first = 0; first < downward.size(); ++first) {
        for (std::size_t second = first + 1; second < downward.size(); ++second) {
            const double spacing = Middle(lines[downward[second]]) - Middle(lines[downward[first]]);
            if (spacing > kMostSpacing * height) {
                break;
            }
            if (spacing < kLeastSpacing * height ||
                std::abs(lines[downward[second]].x - lines[downward[first]].x) >
                    kAlignedHeights * height) {
                continue;
            }
            auto column = ColumnFrom(lines, downward, first, second, height);
            if (column.size() > longest.size()) {
                longest = std::move(column);
            }
        }
    }
    return longest;
}

} // namespace

std::vector<std::size_t> LegendColumn(const std::vector<cv::Rect>& lines, double height) {
    std::vector<std::size_t> column = LongestColumn(lines, {}, height);
    if (column.size() < 3) {
        return {};
    }
    // A legend of two columns or more lists some curves beside the others: a column beside
    // this one, level with it and as evenly spaced, leaves the family unknown.
    const std::vector<std::size_t> beside = LongestColumn(lines, column, height);
    const auto spacing = [&](const std::vector<std::size_t>& entries) {
        return Middle(lines[entries[1]]) - Middle(lines[entries[0]]);
    };
    if (beside.size() >= 2 &&
        std::abs(spacing(beside) - spacing(column)) <= kEvenShare * spacing(column) &&
        Middle(lines[beside.front()]) < Middle(lines[column.back()]) + spacing(column) / 2 &&
        Middle(lines[beside.back()]) > Middle(lines[column.front()]) - spacing(column) / 2) {
        return {};
    }
    return column;
}

} // namespace valvix::read
