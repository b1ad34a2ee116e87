#include "read/PlotBox.h"

#include "fit/StrokeMask.h"
#include "read/BoxInk.h"
#include "read/BoxLean.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace valvix::read {

namespace {

// The lean is looked for within this many degrees, in steps of this many.
constexpr double kMostTilt = 2.0;
constexpr double kTiltStep = 0.02;
// A row (column) of the levelled picture is part of a box edge when ink covers this share
// of the picture's width (height) along it, small gaps of dashes bridged.
constexpr double kEdgeShare = 0.45;
// Ink running this many pixels straight across a box line's direction is a line across it.
constexpr int kLineAcross = 15;
// An edge line stands within this share of the picture's size of where the lines meeting it
// end.
constexpr double kMeetShare = 0.03;

// The ink turned level by `degrees` about the centre.
cv::Mat1b Levelled(const cv::Mat1b& ink, double degrees) {
    const cv::Point2f centre(ink.cols / 2.0f, ink.rows / 2.0f);
    const cv::Mat turn = cv::getRotationMatrix2D(centre, degrees, 1.0);
    cv::Mat1b level;
    cv::warpAffine(ink, level, turn, ink.size(), cv::INTER_NEAREST, cv::BORDER_CONSTANT, 0);
    return level;
}

// Ink per row; with `columns`, per column.
std::vector<double> Profile(const cv::Mat1b& ink, bool columns) {
    cv::Mat sums;
    cv::reduce(ink, sums, columns ? 0 : 1, cv::REDUCE_SUM, CV_64F);
    std::vector<double> profile(sums.begin<double>(), sums.end<double>());
    for (double& value : profile) {
        value /= 255;
    }
    return profile;
}

// How sharply the rows' ink peaks: long level lines make a few rows very full.
double Sharpness(const cv::Mat1b& ink) {
    double sum = 0;
    for (const double row : Profile(ink, false)) {
        sum += row * row;
    }
    return sum;
}

// The tilt at which the horizontal lines stand most level, in degrees clockwise: the
// picture's lean. Looked for in coarse steps, then in fine ones about the best.
double LeanOf(const cv::Mat1b& ink) {
    double best = 0;
    for (const double step : {10 * kTiltStep, kTiltStep}) {
        const double from =
            step == kTiltStep ? std::max(-kMostTilt, best - 10 * kTiltStep) : -kMostTilt;
        const double to =
            step == kTiltStep ? std::min(kMostTilt, best + 10 * kTiltStep) : kMostTilt;
        double sharpest = -1;
        double found = best;
        for (double degrees = from; degrees <= to + 1e-9; degrees += step) {
            // cv turns anticlockwise: a clockwise lean is undone by the same angle.
            const double sharpness = Sharpness(Levelled(ink, degrees));
            if (sharpness > sharpest) {
                sharpest = sharpness;
                found = degrees;
            }
        }
        best = found;
    }
    return best;
}

// A run of rows (or columns) full enough to be part of an edge: its ink-weighted middle.
using Edges = std::vector<double>;

// The runs of rows (or columns) of the ink, small gaps of dashes bridged, that ink
// covers along at least kEdgeShare of the picture's width (height).
Edges EdgeCandidates(const cv::Mat1b& bridged, bool columns) {
    const std::vector<double> profile = Profile(bridged, columns);
    const double full = kEdgeShare * (columns ? bridged.rows : bridged.cols);
    Edges middles;
    for (std::size_t i = 0; i < profile.size();) {
        if (profile[i] < full) {
            ++i;
            continue;
        }
        double weight = 0;
        double moment = 0;
        for (; i < profile.size() && profile[i] >= full; ++i) {
            weight += profile[i];
            moment += profile[i] * (double(i) + 0.5);
        }
        middles.push_back(moment / weight);
    }
    return middles;
}

// Where the longest run of ink along a line of the bridged ink starts and ends: a row
// (`across`) at y = at, or a column at x = at, three pixels wide.
std::pair<double, double> RunAlong(const cv::Mat1b& bridged, double at, bool across) {
    const int line = static_cast<int>(at);
    const int length = across ? bridged.cols : bridged.rows;
    const int lines = across ? bridged.rows : bridged.cols;
    std::pair<int, int> longest{0, 0};
    int start = 0;
    for (int i = 0; i <= length; ++i) {
        bool ink = false;
        for (int d = -1; d <= 1 && i < length; ++d) {
            const int other = std::clamp(line + d, 0, lines - 1);
            ink = ink || (across ? bridged(other, i) : bridged(i, other)) != 0;
        }
        if (!ink) {
            if (i - start > longest.second - longest.first) {
                longest = {start, i};
            }
            start = i + 1;
        }
    }
    return {longest.first, longest.second};
}

// The candidate nearest a place.
double Nearest(const Edges& edges, double at) {
    return *std::min_element(edges.begin(), edges.end(), [&](double a, double b) {
        return std::abs(a - at) < std::abs(b - at);
    });
}

// Where a box edge stands that a line ending at `end` meets (lines overrun their corners a
// little): the candidate nearest it, where one stands within kMeetShare of the picture's
// `span`; else the line's end, for a chart drawn with its two axes only (an open box) ends
// where they do.
double EdgeMet(const Edges& edges, double end, int span) {
    const double nearest = Nearest(edges, end);
    return std::abs(nearest - end) <= kMeetShare * span ? nearest : end;
}

// Ink this many pixels above or below a line, along more than this share of a stretch of it,
// is text laid over the line.
constexpr int kOffLineNearest = 3;
constexpr int kOffLineFurthest = 6;
constexpr double kTextAlongShare = 0.5;

// Whether ink of the level picture stands on row `row`, within a pixel, at column `x`.
bool OnTheLine(const cv::Mat1b& level, double row, int x) {
    bool ink = false;
    for (int y = static_cast<int>(row) - 1; y <= static_cast<int>(row) + 1; ++y) {
        ink = ink || (y >= 0 && y < level.rows && level(y, x) != 0);
    }
    return ink;
}

// The share of the columns from `from` to `to` with ink a few pixels above or below row `row`.
double ShareOffTheLine(const cv::Mat1b& level, double row, int from, int to) {
    int off = 0;
    for (int x = from; x < to; ++x) {
        bool ink = false;
        for (int d = kOffLineNearest; d <= kOffLineFurthest; ++d) {
            for (const int y : {static_cast<int>(row) - d, static_cast<int>(row) + d}) {
                ink = ink || (y >= 0 && y < level.rows && level(y, x) != 0);
            }
        }
        off += ink ? 1 : 0;
    }
    return to > from ? double(off) / double(to - from) : 0;
}

// Where the bottom edge's line ends (`end`, on row `row` of the level ink), once text laid
// over it past the box's side is cut off (a label at the lowest curve's end, right of the
// box, touching the x axis): at the last column of the box's lines before the end, where the
// end meets none, the line stops just past that column, and ink stands off the line along
// most of what lies beyond it. (An open box's axis running on past its last grid line into
// a label does not stop there.)
double WithoutTextPast(const cv::Mat1b& level, const Edges& columns, double row, double end) {
    const auto side =
        std::find_if(columns.rbegin(), columns.rend(), [&](double c) { return c < end; });
    if (std::abs(Nearest(columns, end) - end) <= kMeetShare * level.cols ||
        side == columns.rend()) {
        return end;
    }
    const int from = static_cast<int>(*side) + 2;
    const int to = std::min(static_cast<int>(end), level.cols);
    bool stops = false;
    for (int x = from; x < std::min(to, from + kOffLineFurthest); ++x) {
        stops = stops || !OnTheLine(level, row, x);
    }
    return stops && ShareOffTheLine(level, row, from, to) > kTextAlongShare ? *side : end;
}

// Where the top edge's line ends, where it starts at the left edge (else nothing, 0): a
// label's white box laid over the bottom edge cuts that line short, so the box reaches as
// far as either line.
double TopLineEnd(const cv::Mat1b& rowsBridged, double top, double left) {
    const auto [first, last] = RunAlong(rowsBridged, top, true);
    return std::abs(first - left) <= kMeetShare * rowsBridged.cols ? last : 0;
}

// The level ink with the gaps of dashed lines along its rows (or its columns) bridged. The
// lines across them are taken out first: bridging would close a dense grid of them, a few
// pixels apart in a small picture, into solid ink.
cv::Mat1b BridgedAlong(const cv::Mat1b& level, bool rows) {
    cv::Mat1b across;
    cv::morphologyEx(level, across, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_RECT, rows ? cv::Size(1, kLineAcross)
                                                                    : cv::Size(kLineAcross, 1)));
    cv::Mat1b bridged;
    cv::subtract(level, across, bridged);
    cv::morphologyEx(
        bridged, bridged, cv::MORPH_CLOSE,
        cv::getStructuringElement(cv::MORPH_RECT, rows ? cv::Size(9, 3) : cv::Size(3, 9)));
    return bridged;
}

// The box in the working ink turned level by `lean`, or nothing.
std::optional<PlotBox> BoxAt(const cv::Mat1b& ink, double lean) {
    const cv::Mat1b level = Levelled(ink, lean);
    const cv::Mat1b rowsBridged = BridgedAlong(level, true);
    const cv::Mat1b columnsBridged = BridgedAlong(level, false);
    const Edges rows = EdgeCandidates(rowsBridged, false);
    const Edges columns = EdgeCandidates(columnsBridged, true);
    if (rows.empty() || columns.empty()) {
        return std::nullopt;
    }
    // The box's edges meet: the top and bottom are the long rows where the left edge's line
    // ends (a title above the box is no edge), the sides where the bottom edge's line ends.
    const auto [upper, lower] = RunAlong(columnsBridged, columns.front(), false);
    const double bottom = Nearest(rows, lower);
    const auto [first, runEnd] = RunAlong(rowsBridged, bottom, true);
    const double last = WithoutTextPast(level, columns, bottom, runEnd);
    const double left = Nearest(columns, first);
    const double top = EdgeMet(rows, upper, level.rows);
    const double reach = std::max(last, TopLineEnd(rowsBridged, top, left));
    PlotBox box{left, EdgeMet(columns, reach, level.cols), top, bottom, lean};
    // An open box's two axes must meet at its corner.
    box.open = std::abs(Nearest(columns, box.right) - box.right) > 0 ||
               std::abs(Nearest(rows, box.top) - box.top) > 0;
    if (box.open && (std::abs(first - left) > kMeetShare * level.cols ||
                     std::abs(lower - bottom) > kMeetShare * level.rows)) {
        return std::nullopt;
    }
    return box;
}

// The box in one kind of ink at the working size, in picture pixels: found at the lean
// the rows' sharpness gives, then again at the lean measured along its edge, where that
// lies within the fine search.
std::optional<PlotBox> BoxIn(const cv::Mat1b& ink, double scale) {
    std::optional<PlotBox> found = BoxAt(ink, LeanOf(ink));
    if (!found) {
        return std::nullopt;
    }
    const auto lean = MeasuredLean(ink, *found);
    if (lean && std::abs(*lean - found->tilt) <= 10 * kTiltStep && std::abs(*lean) <= kMostTilt) {
        if (const auto again = BoxAt(ink, *lean)) {
            found = again;
        }
    }
    found->left /= scale;
    found->right /= scale;
    found->top /= scale;
    found->bottom /= scale;
    return found;
}

// Whether a box found from a panel's edges (picture pixels) is filled by the panel.
bool HoldsAPanel(const WorkingGrey& working, const PlotBox& box) {
    const cv::Point2d topLeft(box.left * working.scale, box.top * working.scale);
    const cv::Point2d bottomRight(box.right * working.scale, box.bottom * working.scale);
    return PanelFills(working.grey, cv::Rect(cv::Point(topLeft), cv::Point(bottomRight)));
}

// A box encloses a fifth of the picture's width and height at least.
bool Encloses(const PlotBox& box, const GreyLevels& grey) {
    const double least = 0.2;
    return box.right - box.left >= least * grey.width &&
           box.bottom - box.top >= least * grey.height;
}

} // namespace

cv::Mat1b LevelledGrey(const GreyLevels& grey, double tilt) {
    const cv::Mat1b whole = fit::GreyView(grey);
    const cv::Mat turn =
        cv::getRotationMatrix2D({grey.width / 2.0f, grey.height / 2.0f}, tilt, 1.0);
    cv::Mat1b level;
    cv::warpAffine(whole, level, turn, whole.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, 255);
    return level;
}

PlotBoxResult FindPlotBox(const GreyLevels& grey) {
    if (grey.empty() || grey.width < 40 || grey.height < 40) {
        return {std::nullopt, "the picture is too small to hold a chart"};
    }
    const WorkingGrey working = WorkingGreyOf(grey);
    std::optional<PlotBox> found;
    bool tooSmall = false;
    // Dark lines first; an open box may yet be closed by faint lines or a panel's edges.
    for (const BoxLines lines : kBoxLinesTried) {
        std::optional<PlotBox> box = BoxIn(BoxInkOf(working.grey, lines), working.scale);
        if (box && lines == BoxLines::PanelEdge && !HoldsAPanel(working, *box)) {
            box.reset();
        }
        if (box && !Encloses(*box, grey)) {
            tooSmall = true;
            box.reset();
        }
        if (box && (!found || (found->open && !box->open))) {
            found = box;
        }
        if (found && !found->open) {
            break;
        }
    }
    if (!found) {
        return {std::nullopt, tooSmall ? "the long lines found enclose too little of the picture"
                                       : "no box of long lines was found around the curves"};
    }
    return {found, {}};
}

GreyLevels LevelledLevels(const GreyLevels& grey, double tilt) {
    return fit::GreyLevelsOf(LevelledGrey(grey, tilt));
}

} // namespace valvix::read
