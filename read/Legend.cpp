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
// A line this share of the spacing from where the next entry would stand stands there;
// entries are looked for this many spacings below the last (one between may be unread).
constexpr double kNextShare = 0.25;
constexpr int kNextEntries = 3;
// Lines one above the other overlap across this share of the narrower one's width.
constexpr double kOverlapShare = 0.5;

double Middle(const cv::Rect& line) {
    return line.y + line.height / 2.0;
}

// Plotting programs set a legend's texts flush left after their samples, or flush right
// before them: a column's entries have one end or the other in line.
enum class Flush { Left, Right };

int EndOf(const cv::Rect& line, Flush flush) {
    return flush == Flush::Left ? line.x : line.x + line.width;
}

bool InLine(const cv::Rect& a, const cv::Rect& b, Flush flush, double height) {
    return std::abs(EndOf(a, flush) - EndOf(b, flush)) <= kAlignedHeights * height;
}

// Whether two lines overlap across, one above the other.
bool Overlap(const cv::Rect& a, const cv::Rect& b) {
    const int across = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    return across > kOverlapShare * std::min(a.width, b.width);
}

// How far a line stands below another, as near the spacing as their tops, middles or bottoms
// give it: a curve across an entry makes its line taller above or below, and the other edge
// stays in line with the column.
double Below(const cv::Rect& line, const cv::Rect& above, double spacing) {
    double nearest = Middle(line) - Middle(above);
    for (const double below : {double(line.y - above.y), double(line.br().y - above.br().y)}) {
        if (std::abs(below - spacing) < std::abs(nearest - spacing)) {
            nearest = below;
        }
    }
    return nearest;
}

// The column that starts with `first` and whose second entry is `second`, top to bottom.
std::vector<std::size_t> ColumnFrom(const std::vector<cv::Rect>& lines,
                                    const std::vector<std::size_t>& downward, std::size_t first,
                                    std::size_t second, Flush flush, double height) {
    const cv::Rect& top = lines[downward[first]];
    const double spacing = Middle(lines[downward[second]]) - Middle(top);
    std::vector<std::size_t> column{downward[first]};
    for (std::size_t k = first + 1; k < downward.size(); ++k) {
        const cv::Rect& line = lines[downward[k]];
        const double below = Below(line, lines[column.back()], spacing);
        if (!InLine(line, top, flush, height) ||
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
            if (spacing < kLeastSpacing * height) {
                continue;
            }
            for (const Flush flush : {Flush::Left, Flush::Right}) {
                if (!InLine(lines[downward[second]], lines[downward[first]], flush, height)) {
                    continue;
                }
                auto column = ColumnFrom(lines, downward, first, second, flush, height);
                if (column.size() > longest.size()) {
                    longest = std::move(column);
                }
            }
        }
    }
    return longest;
}

} // namespace

bool ColumnRunsOn(const std::vector<cv::Rect>& lines, const std::vector<std::size_t>& column) {
    if (column.size() < 2) {
        return false;
    }
    const double spacing = Middle(lines[column[1]]) - Middle(lines[column[0]]);
    const cv::Rect& last = lines[column.back()];
    return std::any_of(lines.begin(), lines.end(), [&](const cv::Rect& line) {
        const double below = (Middle(line) - Middle(last)) / spacing;
        return below > 1 - kNextShare && below < kNextEntries + kNextShare &&
               std::abs(below - std::round(below)) <= kNextShare && Overlap(line, last);
    });
}

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
