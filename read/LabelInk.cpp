#include "read/LabelInk.h"

#include "fit/StrokeMask.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <optional>

namespace valvix::read {

namespace {

// A piece of ink this many character heights long, and this many times as long as wide, is
// a stretch of curve, not a character.
constexpr double kLongestStroke = 1.3;
constexpr double kStretchAspect = 3;
// A few characters run together along a line (joined by the dots of a grid line through
// them) stand at most this many character heights wide and high, and this many across
// their line, however turned.
constexpr double kLongestRun = 3.5;
constexpr double kWidestRun = 1.9;
// Where grid lines were taken out, a curve's ink has gaps this many character heights wide.
constexpr double kGridGap = 0.3;

// The rows of the marks (or with `across` false, their columns) that a dashed or dotted
// grid line runs along: those inked over a quarter of the box's span, and the rows beside
// them that the line's width smears into.
std::vector<bool> GridRows(const cv::Mat1b& marks, int boxSpan, bool across) {
    cv::Mat1i counts;
    cv::reduce(marks / 255, counts, across ? 1 : 0, cv::REDUCE_SUM, CV_32S);
    const int lines = across ? marks.rows : marks.cols;
    const auto count = [&](int i) { return across ? counts(i, 0) : counts(0, i); };
    std::vector<bool> rows(static_cast<std::size_t>(lines), false);
    for (int i = 0; i < lines; ++i) {
        if (count(i) >= boxSpan / 4) {
            for (int j = std::max(0, i - 1); j <= std::min(lines - 1, i + 1); ++j) {
                rows[static_cast<std::size_t>(j)] =
                    rows[static_cast<std::size_t>(j)] || j == i || count(j) >= boxSpan / 12;
            }
        }
    }
    return rows;
}

// The dots of grid lines (in `rows`, or with `across` false, in `columns`) joined to the
// characters of the marks: ink in a line's rows that a stroke does not carry across, from
// just above them to just below.
void MarkDotsOnCharacters(const cv::Mat1b& marks, const std::vector<bool>& rows, bool across,
                          cv::Mat1b& dots) {
    const cv::Mat1b ink = across ? marks : cv::Mat1b(marks.t());
    cv::Mat1b found(ink.size(), 0);
    const auto inkNear = [&](int y, int x) {
        return y >= 0 && y < ink.rows &&
               cv::countNonZero(
                   ink.row(y).colRange(std::max(0, x - 1), std::min(ink.cols, x + 2))) > 0;
    };
    const auto inLine = [&](int y) { return rows[static_cast<std::size_t>(y)]; };
    for (int first = 0; first < ink.rows; ++first) {
        if (!inLine(first)) {
            continue;
        }
        int last = first;
        while (last + 1 < ink.rows && inLine(last + 1)) {
            ++last;
        }
        for (int x = 0; x < ink.cols; ++x) {
            if (cv::countNonZero(ink.col(x).rowRange(first, last + 1)) == 0 ||
                (inkNear(first - 1, x) && inkNear(last + 1, x))) {
                continue; // a stroke across the line
            }
            for (int y = first; y <= last; ++y) {
                found(y, x) = ink(y, x);
            }
        }
        first = last;
    }
    dots |= across ? found : cv::Mat1b(found.t());
}

// Clears the dashes and dots of dashed or dotted grid lines along the box (of `box`
// pixels): the pieces of the marks that lie wholly in the lines' rows and columns. A
// character's stroke that runs along a grid line hidden by the label's box of paper stays.
// The dots joined to characters go to `dots`.
void ClearGridLines(cv::Mat1b& marks, cv::Size box, cv::Mat1b& dots) {
    const std::vector<bool> rows = GridRows(marks, box.width, true);
    const std::vector<bool> columns = GridRows(marks, box.height, false);
    cv::Mat1b bands(marks.size(), 0);
    for (int y = 0; y < marks.rows; ++y) {
        for (int x = 0; x < marks.cols; ++x) {
            bands(y, x) =
                rows[static_cast<std::size_t>(y)] || columns[static_cast<std::size_t>(x)] ? 255 : 0;
        }
    }
    cv::Mat1i pieces;
    const int count = cv::connectedComponents(marks, pieces, 8);
    std::vector<std::uint8_t> outside(static_cast<std::size_t>(count), 0);
    marks.forEach([&](const std::uint8_t& pixel, const int* at) {
        if (pixel != 0 && bands(at[0], at[1]) == 0) {
            outside[static_cast<std::size_t>(pieces(at[0], at[1]))] = 1;
        }
    });
    marks.forEach([&](std::uint8_t& pixel, const int* at) {
        if (outside[static_cast<std::size_t>(pieces(at[0], at[1]))] == 0) {
            pixel = 0;
        }
    });
    dots = cv::Mat1b(marks.size(), 0);
    MarkDotsOnCharacters(marks, rows, true, dots);
    MarkDotsOnCharacters(marks, columns, false, dots);
}

// Walks from a to b (past a) with ink within a pixel of each step, or gaps in it no wider
// than `widest` (where a grid line was taken out across the curve): a stretch the curve was
// printed along, not one the digitizer bridged over a gap (a label's box of paper, say).
// `paper` carries the gap's width so far from one stretch to the next.
bool AlongInk(const cv::Mat1b& nearInk, cv::Point2f a, cv::Point2f b, double widest,
              double& paper) {
    const int steps = std::max(1, static_cast<int>(std::ceil(cv::norm(b - a))));
    const double stride = cv::norm(b - a) / steps;
    for (int i = 1; i <= steps; ++i) {
        const cv::Point at(a + (b - a) * (static_cast<float>(i) / static_cast<float>(steps)));
        const bool inked =
            cv::Rect(0, 0, nearInk.cols, nearInk.rows).contains(at) && nearInk(at) != 0;
        paper = inked ? 0 : paper + stride;
        if (paper > widest) {
            return false;
        }
    }
    return true;
}

// Whether a piece of ink (its points) is a stroke no character makes: a straight stretch of
// curve longer than a character is high, three times as long as it is wide.
bool IsCurveStretch(const std::vector<cv::Point>& points, double height) {
    const cv::RotatedRect at = cv::minAreaRect(points);
    const double longSide = std::max(at.size.width, at.size.height);
    return longSide >= kLongestStroke * height &&
           longSide >= kStretchAspect * std::min(at.size.width, at.size.height);
}

// Whether a piece of ink no wider or higher than kLongestRun is a character, or a few
// characters run together along a line: no wider than kWidestRun across its line.
bool OneCharacterRun(const std::vector<cv::Point>& points, double height) {
    const cv::RotatedRect at = cv::minAreaRect(points);
    return std::min(at.size.width, at.size.height) <= kWidestRun * height;
}

} // namespace

cv::Mat1b InkOf(const cv::Mat1b& region) {
    const cv::Mat1b dark = fit::DarknessAgainstPaper(region);
    cv::Mat1b ink;
    const double otsu = cv::threshold(dark, ink, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    cv::threshold(dark, ink, std::clamp(otsu, 28.0, 110.0), 255, cv::THRESH_BINARY);
    return ink;
}

cv::Mat1b MarksWithoutLines(const cv::Mat1b& region, double height, cv::Size box,
                            cv::Mat1b* dotsOnCharacters) {
    cv::Mat1b ink = InkOf(region);
    const int longest = std::max(20, static_cast<int>(3 * height));
    cv::Mat1b rows;
    cv::Mat1b columns;
    cv::morphologyEx(ink, rows, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_RECT, {longest, 1}));
    cv::morphologyEx(ink, columns, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_RECT, {1, longest}));
    ink.setTo(0, rows | columns);
    cv::Mat1b dots;
    ClearGridLines(ink, box, dots);
    if (dotsOnCharacters != nullptr) {
        *dotsOnCharacters = dots;
    }
    return ink;
}

cv::Rect2d InPixelsOf(const PlotBox& box, cv::Point offset) {
    return {box.left - offset.x, box.top - offset.y, box.right - box.left, box.bottom - box.top};
}

// Where a curve's run, ending less than two characters short of the box's right edge,
// meets that edge along its last stretch. (At the top edge, labels stand where the curves
// leave the box, and the stretch on would cut them.)
std::optional<cv::Point2f> OnToTheEdge(const std::vector<cv::Point2f>& run, const cv::Rect2d& box,
                                       double height) {
    if (run.size() < 2) {
        return std::nullopt;
    }
    const cv::Point2f end = run.back();
    const cv::Point2f step = end - run[run.size() - std::min<std::size_t>(run.size(), 5)];
    if (!(step.x > 0)) {
        return std::nullopt;
    }
    const double reach = (box.x + box.width - end.x) / step.x;
    const cv::Point2f edge = end + step * float(reach);
    if (!(reach > 0) || reach * cv::norm(step) > 2 * height || edge.y < box.y) {
        return std::nullopt; // far from the edge, or meeting it above the box
    }
    return edge;
}

void EraseCurves(cv::Mat1b& marks, const std::vector<fit::PrintedTrace>& curves,
                 const cv::Rect2d& box, double height) {
    const cv::Point2d origin(box.x, box.y + box.height);
    const int width = std::max(3, static_cast<int>(std::lround(0.35 * height)));
    cv::Mat1b nearInk;
    cv::dilate(marks, nearInk, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    std::vector<cv::Point2f> run;
    double paper = 0; // how far the run has passed without ink
    const auto eraseRun = [&] {
        const cv::Rect spans = run.empty() ? cv::Rect() : cv::boundingRect(run);
        if (run.size() >= 2 && std::hypot(spans.width, spans.height) >= height) {
            for (std::size_t i = 1; i < run.size(); ++i) {
                cv::line(marks, run[i - 1], run[i], 0, width, cv::LINE_8);
            }
        }
        run.clear();
    };
    for (const fit::PrintedTrace& curve : curves) {
        for (const fit::ChartPoint& point : curve.points) {
            const cv::Point2f at(cv::Point2d(origin.x + point.vp, origin.y - point.ip));
            if (!run.empty() && (cv::norm(at - run.back()) > 2 * height ||
                                 !AlongInk(nearInk, run.back(), at, kGridGap * height, paper))) {
                eraseRun();
                paper = 0;
            }
            run.push_back(at);
        }
        if (const auto edge = OnToTheEdge(run, box, height)) {
            run.push_back(*edge);
        }
        eraseRun();
        paper = 0;
    }
}

cv::Mat1b CharacterSized(const cv::Mat1b& marks, double height) {
    cv::Mat1i labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(marks, labels, stats, centroids, 8);
    std::vector<std::uint8_t> keep(static_cast<std::size_t>(count), 0);
    std::vector<bool> longEnough(static_cast<std::size_t>(count), false); // for a curve's stretch
    for (int i = 1; i < count; ++i) {
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH);
        const int h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        const bool small = w <= kLongestRun * height && h <= kLongestRun * height;
        const bool seen = stats.at<int>(i, cv::CC_STAT_AREA) >= 2; // a decimal point too
        keep[static_cast<std::size_t>(i)] = small && seen ? 255 : 0;
        longEnough[static_cast<std::size_t>(i)] =
            small && seen && std::hypot(w, h) >= kLongestStroke * height;
    }
    std::vector<std::vector<cv::Point>> points(static_cast<std::size_t>(count));
    for (int y = 0; y < marks.rows; ++y) {
        for (int x = 0; x < marks.cols; ++x) {
            if (longEnough[static_cast<std::size_t>(labels(y, x))]) {
                points[static_cast<std::size_t>(labels(y, x))].emplace_back(x, y);
            }
        }
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (longEnough[i] &&
            (IsCurveStretch(points[i], height) || !OneCharacterRun(points[i], height))) {
            keep[i] = 0;
        }
    }
    cv::Mat1b kept(marks.size(), 0);
    kept.forEach([&](std::uint8_t& pixel, const int* at) {
        pixel = keep[static_cast<std::size_t>(labels(at[0], at[1]))];
    });
    return kept;
}

} // namespace valvix::read
