#include "read/CurveLabels.h"

#include "fit/Spread.h"
#include "fit/StrokeMask.h"
#include "read/LabelMarks.h"
#include "read/LabelledFamily.h"
#include "read/Legend.h"
#include "read/TextReader.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <functional>

namespace valvix::read {

namespace {

// Without printed digits to measure, characters are taken as this many pixels high.
constexpr double kUsualHeight = 12;
// Labels stand within this share of the box's width right of it, and within this many
// character heights above it.
constexpr double kRightShare = 0.2;
constexpr double kAboveHeights = 2.5;
// A label run across the area's bottom (the lowest curve's, crowded down to the axis) is
// read whole from a strip reaching this many character heights below the box.
constexpr double kCutLabelReach = 0.8;
// At most this many text-like marks are read.
constexpr std::size_t kMostMarks = 60;

// Where labels may stand: the box with a margin right of it and above it, its edges'
// own lines and the axis numbers below it left out.
cv::Rect LabelArea(const cv::Mat1b& level, const PlotBox& box, double height) {
    const int x0 = static_cast<int>(std::ceil(box.left)) + 2;
    const int x1 = static_cast<int>(box.right + kRightShare * (box.right - box.left));
    const int y0 = static_cast<int>(box.top - kAboveHeights * height);
    const int y1 = static_cast<int>(box.bottom) - 2;
    return cv::Rect(cv::Point(x0, y0), cv::Point(x1, y1)) & cv::Rect(0, 0, level.cols, level.rows);
}

// Clears the rows of the marks (or with `across` false, their columns) that a dashed or
// dotted grid line runs along: those inked over a quarter of the box's span, and the
// rows beside them that the line's width smears into.
void ClearGridRows(cv::Mat1b& ink, int boxSpan, bool across) {
    cv::Mat1i counts;
    cv::reduce(ink / 255, counts, across ? 1 : 0, cv::REDUCE_SUM, CV_32S);
    const int lines = across ? ink.rows : ink.cols;
    const auto count = [&](int i) { return across ? counts(i, 0) : counts(0, i); };
    std::vector<int> cleared;
    for (int i = 0; i < lines; ++i) {
        if (count(i) >= boxSpan / 4) {
            for (int j = std::max(0, i - 1); j <= std::min(lines - 1, i + 1); ++j) {
                if (j == i || count(j) >= boxSpan / 12) {
                    cleared.push_back(j);
                }
            }
        }
    }
    for (const int i : cleared) {
        (across ? ink.row(i) : ink.col(i)).setTo(0);
    }
}

cv::Size BoxSize(const PlotBox& box) {
    return {static_cast<int>(box.right - box.left), static_cast<int>(box.bottom - box.top)};
}

// Dark marks on the paper, long straight grid and frame lines left out, and dashed or
// dotted ones along the box (of `box` pixels) too.
cv::Mat1b MarksWithoutLines(const cv::Mat1b& region, double height, cv::Size box) {
    const cv::Mat1b dark = fit::DarknessAgainstPaper(region);
    cv::Mat1b ink;
    const double otsu = cv::threshold(dark, ink, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    cv::threshold(dark, ink, std::clamp(otsu, 28.0, 110.0), 255, cv::THRESH_BINARY);
    const int longest = std::max(20, static_cast<int>(3 * height));
    cv::Mat1b rows;
    cv::Mat1b columns;
    cv::morphologyEx(ink, rows, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_RECT, {longest, 1}));
    cv::morphologyEx(ink, columns, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_RECT, {1, longest}));
    ink.setTo(0, rows | columns);
    ClearGridRows(ink, box.width, true);
    ClearGridRows(ink, box.height, false);
    return ink;
}

// Takes the curves out of the marks: each polyline drawn over them in paper, a long jump
// (where the digitizer bridged a gap, a label's box say) left alone.
void EraseCurves(cv::Mat1b& marks, const std::vector<fit::PrintedTrace>& curves, cv::Point2d origin,
                 double height) {
    const int width = std::max(3, static_cast<int>(std::lround(0.35 * height)));
    const double longest = 2 * height;
    for (const fit::PrintedTrace& curve : curves) {
        for (std::size_t i = 1; i < curve.points.size(); ++i) {
            const fit::ChartPoint& a = curve.points[i - 1];
            const fit::ChartPoint& b = curve.points[i];
            if (std::hypot(b.vp - a.vp, b.ip - a.ip) <= longest) {
                cv::line(marks, cv::Point2d(origin.x + a.vp, origin.y - a.ip),
                         cv::Point2d(origin.x + b.vp, origin.y - b.ip), 0, width, cv::LINE_8);
            }
        }
    }
}

// The marks the size of a character (a minus or a point too), as a mask.
cv::Mat1b CharacterSized(const cv::Mat1b& marks, double height) {
    cv::Mat1i labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(marks, labels, stats, centroids, 8);
    std::vector<std::uint8_t> keep(static_cast<std::size_t>(count), 0);
    for (int i = 1; i < count; ++i) {
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH);
        const int h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        const bool small = w <= 1.9 * height && h <= 1.9 * height;
        const bool seen = stats.at<int>(i, cv::CC_STAT_AREA) >= 2; // a decimal point too
        keep[static_cast<std::size_t>(i)] = small && seen ? 255 : 0;
    }
    cv::Mat1b kept(marks.size(), 0);
    kept.forEach([&](std::uint8_t& pixel, const int* at) {
        pixel = keep[static_cast<std::size_t>(labels(at[0], at[1]))];
    });
    return kept;
}

// Marks join across gaps narrower than a character (only along the line, where `level`),
// but never across the box's right or top edge (at `edges` in the marks' pixels): a label
// beyond the box stands apart from the stubs of curves that end at its edge.
std::vector<Mark> Groups(const cv::Mat1b& characters, double height, cv::Point edges,
                         bool level = false) {
    cv::Mat1b joined;
    const int reach = std::max(3, static_cast<int>(std::lround(0.9 * height)));
    cv::dilate(characters, joined,
               level ? cv::getStructuringElement(cv::MORPH_RECT, {reach, 1})
                     : cv::getStructuringElement(cv::MORPH_ELLIPSE, {reach, reach}));
    if (edges.x >= 0 && edges.x < joined.cols) {
        joined.col(edges.x).setTo(0);
    }
    if (edges.y >= 0 && edges.y < joined.rows) {
        joined.row(edges.y).setTo(0);
    }
    cv::Mat1i labels;
    const int count = cv::connectedComponents(joined, labels, 8);
    std::vector<std::vector<cv::Point>> points(static_cast<std::size_t>(count));
    for (int y = 0; y < characters.rows; ++y) {
        for (int x = 0; x < characters.cols; ++x) {
            if (characters(y, x) != 0) {
                points[static_cast<std::size_t>(labels(y, x))].emplace_back(x, y);
            }
        }
    }
    std::vector<Mark> marks;
    for (std::size_t i = 1; i < points.size() && marks.size() < kMostMarks; ++i) {
        if (points[i].size() < 6) {
            continue;
        }
        const cv::RotatedRect at = cv::minAreaRect(points[i]);
        const double longSide = std::max(at.size.width, at.size.height);
        const double shortSide = std::min(at.size.width, at.size.height);
        if (shortSide >= 0.45 * height && shortSide <= 2.2 * height && longSide <= 14 * height) {
            cv::Mat1b ink(characters.size(), 0);
            for (const cv::Point& p : points[i]) {
                ink(p) = 255;
            }
            marks.push_back({at, ink});
        }
    }
    return marks;
}

// The labels read from the marks, placed in the picture; where the marks that read as no
// label stand go to `unread`.
std::vector<FoundCurveLabel> ReadMarks(const cv::Mat1b& marks, const cv::Mat1b& region,
                                       double height, cv::Point edges, cv::Point offset,
                                       TextReader& reader, std::vector<cv::Point2f>& unread) {
    std::vector<FoundCurveLabel> labels;
    for (Mark& mark : Groups(CharacterSized(marks, height), height, edges)) {
        if (auto label = ReadMark(mark, region, height, reader)) {
            label->at.center += cv::Point2f(offset);
            labels.push_back(*label);
        } else {
            unread.push_back(mark.at.center + cv::Point2f(offset));
        }
    }
    return labels;
}

// Both readings' labels, one of each two that stand in one place: the surer one.
std::vector<FoundCurveLabel> Merged(std::vector<FoundCurveLabel> labels,
                                    const std::vector<FoundCurveLabel>& more, double height) {
    for (const FoundCurveLabel& label : more) {
        const auto same = std::find_if(labels.begin(), labels.end(), [&](const auto& other) {
            return cv::norm(other.at.center - label.at.center) < height;
        });
        if (same == labels.end()) {
            labels.push_back(label);
        } else if (label.confidence > same->confidence) {
            *same = label;
        }
    }
    return labels;
}

// Whether any connected piece of the ink (at its bounds) is one `wanted` is.
bool AnyPiece(const cv::Mat1b& ink, const std::function<bool(const cv::Rect&)>& wanted) {
    cv::Mat stats;
    cv::Mat centroids;
    cv::Mat1i pieces;
    const int count = cv::connectedComponentsWithStats(ink, pieces, stats, centroids, 8);
    for (int i = 1; i < count; ++i) {
        if (wanted({stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                    stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT)})) {
            return true;
        }
    }
    return false;
}

// The strip beyond the box's right edge across the label area's bottom (at `cut`), where
// the lowest curve's label may be crowded down to the axis.
cv::Rect StripAcrossTheCut(const cv::Mat1b& level, const PlotBox& box, double height, int cut) {
    const cv::Point from(static_cast<int>(box.right + 0.5 * height),
                         cut - static_cast<int>(1.2 * height));
    const cv::Point to(static_cast<int>(box.right + kRightShare * (box.right - box.left)),
                       static_cast<int>(box.bottom + kCutLabelReach * height));
    return cv::Rect(from, to) & cv::Rect(0, 0, level.cols, level.rows);
}

// The labels beyond the box's right edge that run below the label area's bottom, reaching
// up past the box's bottom edge, each read whole; nothing when one of them does not read
// as a label.
std::optional<std::vector<FoundCurveLabel>>
LabelsAcrossTheCut(const cv::Mat1b& level, const PlotBox& box, double height, TextReader& reader) {
    const int cut = static_cast<int>(box.bottom) - 2; // the label area's bottom
    const cv::Rect strip = StripAcrossTheCut(level, box, height, cut);
    std::vector<FoundCurveLabel> labels;
    if (strip.width < height || strip.height < height / 2 || cut >= strip.y + strip.height) {
        return labels;
    }
    const cv::Mat1b ink = MarksWithoutLines(level(strip), height, BoxSize(box));
    // Below the area and reaching up past the box's bottom edge (tick numbers start lower).
    const int boxBottom = static_cast<int>(std::lround(box.bottom)) - strip.y;
    const auto acrossTheCut = [&](const cv::Rect& at) {
        return at.y < boxBottom && at.y + at.height > cut - strip.y;
    };
    if (!AnyPiece(ink, [&](const cv::Rect& at) {
            return acrossTheCut(at) && at.height >= 0.3 * height && at.width <= 2 * height;
        })) {
        return labels;
    }
    for (const Mark& mark : Groups(CharacterSized(ink, height), height, {-1, -1}, true)) {
        if (!acrossTheCut(cv::boundingRect(mark.ink))) {
            continue;
        }
        auto label = ReadMark(mark, level(strip), height, reader);
        if (!label) {
            return std::nullopt;
        }
        label->at.center += cv::Point2f(strip.tl());
        labels.push_back(*label);
    }
    return labels.empty() ? std::nullopt : std::optional(labels);
}

// The family a legend in the box gives, where the labels at and along the curves gave none:
// every entry of its column read as a curve label, in its order from the top, or from the
// bottom where the values rise downward, and none set aside. Nothing when an entry does
// not read, or they make no family.
std::optional<CurveLabels> LegendFamily(const cv::Mat1b& region, const PlotBox& box, double height,
                                        cv::Point offset, TextReader& reader) {
    std::vector<Mark> entries;
    std::vector<cv::Rect> lines;
    const cv::Mat1b marks = MarksWithoutLines(region, height, BoxSize(box));
    for (Mark& mark : Groups(CharacterSized(marks, height), height, {-1, -1}, true)) {
        const cv::Rect line = cv::boundingRect(mark.ink);
        if (line.x + line.width < box.right - offset.x) {
            entries.push_back(std::move(mark));
            lines.push_back(line);
        }
    }
    std::vector<FoundCurveLabel> labels;
    std::vector<CurveLabel> values;
    for (const std::size_t i : LegendColumn(lines, height)) {
        auto label = ReadMark(entries[i], region, height, reader);
        if (!label) {
            return std::nullopt;
        }
        label->at.center += cv::Point2f(offset);
        labels.push_back(*label);
        values.push_back(label->label);
    }
    for (int turn = 0; turn < 2; ++turn) {
        CurveLabels legend{labels, 0, GridVoltagesOf(values)};
        if (legend.grids.grids && legend.grids.grids->setAside == 0) {
            return legend;
        }
        std::reverse(labels.begin(), labels.end());
        std::reverse(values.begin(), values.end());
    }
    return std::nullopt;
}

// The labels at the curves' ends and along them, and the family they give.
CurveLabels LabelsAtTheCurves(const cv::Mat1b& level, const PlotBox& box, double height,
                              const cv::Rect& area, const std::vector<fit::PrintedTrace>& curves,
                              TextReader& reader) {
    CurveLabels found;
    const cv::Point edges(static_cast<int>(std::lround(box.right)) - area.x,
                          static_cast<int>(std::lround(box.top)) - area.y);
    // Read as printed, and again with the curves taken out: a label a curve touches reads
    // only without it, one a curve runs through only with it.
    cv::Mat1b marks = MarksWithoutLines(level(area), height, BoxSize(box));
    std::vector<cv::Point2f> unreadAsPrinted;
    const auto asPrinted =
        ReadMarks(marks, level(area), height, edges, area.tl(), reader, unreadAsPrinted);
    EraseCurves(marks, curves, cv::Point2d(box.left - area.x, box.bottom - area.y), height);
    std::vector<cv::Point2f> unread;
    found.labels = Merged(ReadMarks(marks, level(area), height, edges, area.tl(), reader, unread),
                          asPrinted, height);
    const auto acrossTheCut = LabelsAcrossTheCut(level, box, height, reader);
    if (acrossTheCut) {
        found.labels = Merged(found.labels, *acrossTheCut, height);
    }
    found.setAside = unread.size();
    std::sort(found.labels.begin(), found.labels.end(),
              [&](const FoundCurveLabel& a, const FoundCurveLabel& b) {
                  return FamilyPlace(a.at.center, box) < FamilyPlace(b.at.center, box);
              });
    found.grids = FamilyOfLabels(found.labels, box, curves, height);
    unread.insert(unread.end(), unreadAsPrinted.begin(), unreadAsPrinted.end());
    if (found.grids.grids &&
        (UnreadPastTheLast(found.labels, unread, box, height) || !acrossTheCut)) {
        found.grids = {std::nullopt, "a text past the last curve label read could not be read"};
    }
    return found;
}

} // namespace

CurveLabels ReadCurveLabels(const cv::Mat1b& level, const PlotBox& box, double characterHeight,
                            const std::vector<fit::PrintedTrace>& curves, TextReader& reader) {
    const double height = characterHeight > 0 ? characterHeight : kUsualHeight;
    const cv::Rect area = LabelArea(level, box, height);
    if (area.width < 4 * height || area.height < 4 * height || !reader.ready()) {
        return {{}, 0, GridVoltagesOf({})};
    }
    CurveLabels found = LabelsAtTheCurves(level, box, height, area, curves, reader);
    if (!found.grids.grids) {
        if (auto legend = LegendFamily(level(area), box, height, area.tl(), reader)) {
            legend->setAside = found.setAside;
            return *legend;
        }
    }
    return found;
}

} // namespace valvix::read
