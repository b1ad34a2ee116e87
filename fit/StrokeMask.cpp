#include "fit/StrokeMask.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace valvix::fit {

namespace {

// Larger frames are scaled down to this many pixels on their longer side: enough to
// place a curve within a fraction of a data sheet's line width, and fast on big scans.
constexpr int kWorkingSize = 1600;
// The paper's level is the lightest grey within this window (working pixels), wider
// than the spacing of the densest printed grids.
constexpr int kPaperWindow = 23;
// Bounds of the darkness, below the paper, that makes a stroke.
constexpr double kFaintestStroke = 28;
constexpr double kDarkestThreshold = 110;
// A straight run this long, as a share of the box's side (and at least kShortestLine
// pixels), is a grid or frame line; gaps up to kDashGap pixels along it are bridged.
constexpr double kLineShare = 0.06;
constexpr int kShortestLine = 40;
constexpr int kDashGap = 9;
// Curves printed in a lighter grey than the darkest ones are looked for down to this
// share of the strokes' threshold, clear of the darker strokes by kFaintClearance stroke
// widths, in pieces reaching across or down at least kFaintReach of the box's shorter side
// (grid dashes, label edges and pieces of load lines cut by the curves are shorter).
constexpr double kFaintShare = 0.5;
constexpr double kFaintClearance = 1.5;
constexpr double kFaintReach = 0.1;
// Dots of a dotted curve lie less than twice this many working pixels apart.
constexpr int kDotGap = 3;

cv::Mat1b WorkingGrey(const GreyLevels& grey, const PixelBox& box, StrokeMask& mask) {
    const cv::Mat1b inside =
        GreyView(grey)(cv::Rect(box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0));
    mask.x0 = box.x0;
    mask.y0 = box.y0;
    const int longer = std::max(inside.cols, inside.rows);
    if (longer <= kWorkingSize) {
        return inside.clone();
    }
    mask.scale = double(kWorkingSize) / longer;
    cv::Mat1b smaller;
    cv::resize(inside, smaller, cv::Size(), mask.scale, mask.scale, cv::INTER_AREA);
    return smaller;
}

// Keeps the connected pieces for which keep(stats, i) holds, given OpenCV's statistics of
// the pieces (a row each, CC_STAT_* columns).
template <class Keep> void KeepPieces(cv::Mat1b& strokes, const Keep& keep) {
    cv::Mat1i labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(strokes, labels, stats, centroids, 8);
    std::vector<std::uint8_t> kept(static_cast<std::size_t>(count), 0);
    for (int i = 1; i < count; ++i) {
        kept[static_cast<std::size_t>(i)] = keep(stats, i) ? 255 : 0;
    }
    strokes.forEach([&](std::uint8_t& pixel, const int* at) {
        pixel = kept[static_cast<std::size_t>(labels(at[0], at[1]))];
    });
}

// Keeps the connected pieces that reach at least `reach` pixels across or down.
void KeepLongPieces(cv::Mat1b& strokes, double reach) {
    KeepPieces(strokes, [reach](const cv::Mat& stats, int i) {
        return std::max(stats.at<int>(i, cv::CC_STAT_WIDTH),
                        stats.at<int>(i, cv::CC_STAT_HEIGHT)) >= reach;
    });
}

// Takes the connected pieces of at most `area` pixels out of the strokes and gives them:
// speckle, and the dots of dotted curves.
cv::Mat1b TakeOutDots(cv::Mat1b& strokes, int area) {
    cv::Mat1b dots = strokes.clone();
    KeepPieces(dots, [area](const cv::Mat& stats, int i) {
        return stats.at<int>(i, cv::CC_STAT_AREA) <= area;
    });
    strokes -= dots;
    return dots;
}

// The dots of dotted curves: those less than 2 kDotGap pixels apart that chain up to reach
// kFaintReach of the box's shorter side. Speckle lies scattered.
cv::Mat1b DotChains(const cv::Mat1b& dots) {
    cv::Mat1b chains;
    cv::dilate(dots, chains,
               cv::getStructuringElement(cv::MORPH_ELLIPSE, {2 * kDotGap + 1, 2 * kDotGap + 1}));
    KeepLongPieces(chains, kFaintReach * std::min(dots.rows, dots.cols));
    return dots & chains;
}

// The most common length of the vertical runs: the width of the printed lines.
double StrokeWidth(const cv::Mat1b& strokes) {
    std::array<int, 16> lengths{};
    for (int x = 0; x < strokes.cols; x += 2) {
        int run = 0;
        for (int y = 0; y <= strokes.rows; ++y) {
            if (y < strokes.rows && strokes(y, x) != 0) {
                ++run;
            } else if (run > 0) {
                ++lengths[static_cast<std::size_t>(std::min(run, 15))];
                run = 0;
            }
        }
    }
    const auto most = std::max_element(lengths.begin() + 1, lengths.end() - 1);
    return lengths[static_cast<std::size_t>(most - lengths.begin())] == 0
               ? 1.0
               : double(most - lengths.begin());
}

// Long straight runs along one direction (kernel `along` with its gap bridged by `gap`).
cv::Mat1b StraightRuns(const cv::Mat1b& strokes, cv::Size gap, cv::Size along) {
    cv::Mat1b closed;
    cv::morphologyEx(strokes, closed, cv::MORPH_CLOSE,
                     cv::getStructuringElement(cv::MORPH_RECT, gap));
    cv::Mat1b runs;
    cv::morphologyEx(closed, runs, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_RECT, along));
    return runs;
}

// Grid and frame lines among the strokes: long straight runs across and down, widened
// a little so that their blurred edges go with them.
cv::Mat1b StraightLines(const cv::Mat1b& strokes) {
    const int acrossLong = std::max(kShortestLine, int(kLineShare * strokes.cols));
    const int downLong = std::max(kShortestLine, int(kLineShare * strokes.rows));
    cv::Mat1b lines = StraightRuns(strokes, {kDashGap, 1}, {acrossLong, 1});
    cv::dilate(lines, lines, cv::getStructuringElement(cv::MORPH_RECT, {1, 3}));
    cv::Mat1b columns = StraightRuns(strokes, {1, kDashGap}, {1, downLong});
    cv::dilate(columns, columns, cv::getStructuringElement(cv::MORPH_RECT, {3, 1}));
    return lines | columns;
}

// Greyscale plots print some curves in light greys, which fall below the threshold that
// the dark ones set. Their strokes are the lighter pixels clear of every darker stroke
// (and of its blurred edge), without grid lines, in long pieces.
cv::Mat1b FaintStrokes(const cv::Mat1b& dark, double threshold, double strokeWidth) {
    const double faintest = std::max(kFaintestStroke, kFaintShare * threshold);
    cv::Mat1b faint;
    cv::Mat1b darker;
    cv::threshold(dark, faint, faintest, 255, cv::THRESH_BINARY);
    cv::threshold(dark, darker, threshold, 255, cv::THRESH_BINARY);
    const int clearance = int(std::ceil(kFaintClearance * strokeWidth));
    cv::dilate(
        darker, darker,
        cv::getStructuringElement(cv::MORPH_ELLIPSE, {2 * clearance + 1, 2 * clearance + 1}));
    faint.setTo(0, darker);
    faint.setTo(0, StraightLines(faint));
    KeepLongPieces(faint, kFaintReach * std::min(faint.rows, faint.cols));
    return faint;
}

} // namespace

cv::Mat1b GreyView(const GreyLevels& grey) {
    return {grey.height, grey.width, const_cast<std::uint8_t*>(grey.levels.data())};
}

GreyLevels GreyLevelsOf(const cv::Mat1b& grey) {
    GreyLevels levels{grey.cols, grey.rows, {}};
    levels.levels.resize(static_cast<std::size_t>(grey.cols) * static_cast<std::size_t>(grey.rows));
    for (int y = 0; y < grey.rows; ++y) {
        std::memcpy(levels.levels.data() +
                        static_cast<std::size_t>(y) * static_cast<std::size_t>(grey.cols),
                    grey.ptr(y), static_cast<std::size_t>(grey.cols));
    }
    return levels;
}

cv::Mat1b DarknessAgainstPaper(const cv::Mat1b& grey) {
    cv::Mat1b paper;
    cv::dilate(grey, paper,
               cv::getStructuringElement(cv::MORPH_RECT, {kPaperWindow, kPaperWindow}));
    cv::blur(paper, paper, {kPaperWindow, kPaperWindow});
    cv::Mat1b dark;
    cv::subtract(paper, grey, dark);
    return dark;
}

StrokeMask FindStrokes(const GreyLevels& grey, const PixelBox& box) {
    StrokeMask mask;
    const cv::Mat1b working = WorkingGrey(grey, box, mask);
    const cv::Mat1b dark = DarknessAgainstPaper(working);
    cv::Mat1b strokes;
    const double otsu = cv::threshold(dark, strokes, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    const double threshold = std::clamp(otsu, kFaintestStroke, kDarkestThreshold);
    cv::threshold(dark, strokes, threshold, 255, cv::THRESH_BINARY);
    cv::Mat1b dots = TakeOutDots(strokes, 4);
    mask.strokeWidth = StrokeWidth(strokes); // of the lines, not of their dots
    strokes |= DotChains(dots);

    const cv::Mat1b lines = StraightLines(strokes);
    cv::Mat1i labels;
    mask.linesRemoved = std::size_t(std::max(0, cv::connectedComponents(lines, labels, 8) - 1));
    strokes.setTo(0, lines);
    const int width = int(std::ceil(mask.strokeWidth));
    dots = TakeOutDots(strokes, std::max(4, width * width * 2));
    strokes |= DotChains(dots);
    strokes |= FaintStrokes(dark, threshold, mask.strokeWidth);
    mask.strokes = strokes;
    return mask;
}

} // namespace valvix::fit
