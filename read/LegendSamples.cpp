#include "read/LegendSamples.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <optional>

namespace valvix::read {

namespace {

// A sample of a curve's line beside a legend's entry starts within this many character
// heights of its text, runs level between these many heights long (a grid line runs on),
// within this many heights of the text's middle, and is this much darker than the paper.
constexpr double kSampleReach = 1.5;
constexpr double kSampleLength = 1.5;
constexpr double kSampleMostLength = 8;
constexpr double kSampleOffMiddle = 0.35;
constexpr int kSampleContrast = 24;
// A dashed or dotted sample's gaps are this many character heights long at the most, and its
// dashes or dots make up this share of its length at the least.
constexpr double kSampleDashGap = 1.25;
constexpr double kSampleInked = 0.2;
// A sample stands where another's does when it starts within this share of a character's
// height of where the other starts, and its length is within this share of the other's.
constexpr double kSampleAgain = 0.25;

// How long a run of dark pixels of `row` goes from `x` by `step`, from its first dark pixel
// to its last: gaps of paper up to `gapAllowed` long between them (a dashed or dotted line's)
// are taken in where the dark makes up kSampleInked of the run. Nothing where `x` is paper.
int DarkRun(const cv::Mat1b& row, int x, int step, int paper, int gapAllowed) {
    int length = 0;
    int dark = 0;
    int gap = 0;
    for (int along = 0; x >= 0 && x < row.cols && gap <= gapAllowed; x += step, ++along) {
        if (row(0, x) + kSampleContrast < paper) {
            ++dark;
            length = along + 1;
            gap = 0;
        } else if (along == 0) {
            return 0;
        } else {
            ++gap;
        }
    }
    return dark >= kSampleInked * length ? length : 0;
}

// How long a sample of a line runs from `x` by `step`: solid where that is `least` long or
// longer (so that it does not run on into a frame or a panel past a short gap), else dashed.
int SampleRun(const cv::Mat1b& row, int x, int step, int paper, int least, int gapAllowed) {
    const int solid = DarkRun(row, x, step, paper, 0);
    return solid >= least ? solid : DarkRun(row, x, step, paper, gapAllowed);
}

// A sample of a curve's line beside a text line: on which side (0 right, 1 left), how far
// from the text it starts and how long it runs.
struct Sample {
    int side = 0;
    int gap = 0;
    int length = 0;
    cv::Rect run; // its pixels in the greys, one row
};

// The sample of a curve's line beside a text line (its bounds in the greys), left or right,
// as a legend's entries have (on `side` alone, where given); nothing where there is none.
std::optional<Sample> SampleNextTo(const cv::Mat1b& greys, const cv::Rect& line, double height,
                                   std::optional<int> side = std::nullopt) {
    const int reach = static_cast<int>(std::lround(kSampleReach * height));
    const int least = static_cast<int>(std::lround(kSampleLength * height));
    const int most = static_cast<int>(std::lround(kSampleMostLength * height));
    const int middle = line.y + line.height / 2;
    const int off = static_cast<int>(std::lround(kSampleOffMiddle * height));
    const int gapAllowed = static_cast<int>(std::lround(kSampleDashGap * height));
    for (int y = std::max(0, middle - off); y <= std::min(greys.rows - 1, middle + off); ++y) {
        const cv::Mat1b row = greys.row(y);
        double lightest = 0;
        cv::minMaxLoc(row, nullptr, &lightest);
        const int paper = static_cast<int>(lightest);
        for (int gap = 1; gap <= reach; ++gap) {
            const int runs[] = {
                SampleRun(row, line.x + line.width - 1 + gap, 1, paper, least, gapAllowed),
                SampleRun(row, line.x - gap, -1, paper, least, gapAllowed)};
            for (const int tried : {0, 1}) {
                if (runs[tried] >= least && runs[tried] <= most && side.value_or(tried) == tried) {
                    const int from =
                        tried == 0 ? line.x + line.width - 1 + gap : line.x - gap - runs[tried] + 1;
                    return Sample{tried, gap, runs[tried], cv::Rect(from, y, runs[tried], 1)};
                }
            }
        }
    }
    return std::nullopt;
}

// Whether a sample is a line: the greys a third of a character's height above and below it
// are lighter, as they are not along a grey panel or a legend's tinted ground.
bool Thin(const cv::Mat1b& greys, const Sample& sample, double height) {
    const int off = std::max(2, static_cast<int>(std::lround(kSampleOffMiddle * height)));
    const cv::Rect inside(0, 0, greys.cols, greys.rows);
    const cv::Rect above = (sample.run - cv::Point(0, off)) & inside;
    const cv::Rect below = (sample.run + cv::Point(0, off)) & inside;
    if (above.empty() || below.empty()) {
        return false;
    }
    const double along = cv::mean(greys(sample.run))[0];
    return cv::mean(greys(above))[0] >= along + kSampleContrast &&
           cv::mean(greys(below))[0] >= along + kSampleContrast;
}

} // namespace

// Whether a text line has a sample of a curve's line beside it.
bool SampleBeside(const cv::Mat1b& greys, const cv::Rect& line, double height) {
    return SampleNextTo(greys, line, height).has_value();
}

// Whether the column's entries show samples of their curves' lines (half of them at least:
// a curve across an entry may cut it short of its sample), and one stands where the next
// entry's would as well: an entry there did not come out as a text line (a curve run through
// it joins it into one mark too large for a character).
bool SampleAfterTheLast(const cv::Mat1b& greys, const std::vector<cv::Rect>& bounds,
                        const std::vector<std::size_t>& column, double height) {
    if (column.size() < 2) {
        return false;
    }
    std::vector<std::size_t> sampled;
    std::copy_if(column.begin(), column.end(), std::back_inserter(sampled),
                 [&](std::size_t i) { return SampleBeside(greys, bounds[i], height); });
    if (2 * sampled.size() < column.size()) {
        return false;
    }
    const auto middle = [&](std::size_t i) { return bounds[i].y + bounds[i].height / 2.0; };
    const double spacing =
        (middle(column.back()) - middle(column.front())) / double(column.size() - 1);
    // The last entry seen with its sample, moved down to the next entry's place.
    const cv::Rect& shown = bounds[sampled.back()];
    const double steps =
        double(column.size()) -
        double(std::find(column.begin(), column.end(), sampled.back()) - column.begin());
    const cv::Rect next = shown + cv::Point(0, static_cast<int>(std::lround(steps * spacing)));
    if (next.y + next.height > greys.rows) {
        return false;
    }
    // Where the entries' samples stand and as long: not a stretch of a curve or a panel. It is
    // looked for on their side alone: on the other, the next entry's own text, crossed by a
    // curve, may run as long as a sample.
    const Sample own = *SampleNextTo(greys, shown, height);
    const std::optional<Sample> there = SampleNextTo(greys, next, height, own.side);
    return there && Thin(greys, own, height) && Thin(greys, *there, height) &&
           std::abs(there->gap - own.gap) <= kSampleAgain * height &&
           std::abs(there->length - own.length) <= kSampleAgain * own.length;
}

} // namespace valvix::read
