#include "read/CurveLabels.h"

#include "fit/Spread.h"
#include "read/CurveHeadings.h"
#include "read/LabelGroups.h"
#include "read/LabelInk.h"
#include "read/LabelMarks.h"
#include "read/LabelledFamily.h"
#include "read/LegendFamily.h"
#include "read/LostPoints.h"
#include "read/TextReader.h"
#include "read/TopEdgeLabels.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <functional>

namespace valvix::read {

namespace {

// A label with more than this share of its rectangle in another's is part of it.
constexpr double kMostlyWithin = 0.5;
// Without printed digits to measure, characters are taken as this many pixels high.
constexpr double kUsualHeight = 12;
// Labels stand within this share of the box's width right of it, and within this many
// character heights above it.
constexpr double kRightShare = 0.2;
constexpr double kAboveHeights = 2.5;
// A label run across the area's bottom (the lowest curve's, crowded down to the axis) is
// read whole from a strip reaching this many character heights below the box.
constexpr double kCutLabelReach = 0.8;
// A level line of marks this many character heights long, and this many times as long as
// high, holds two characters or more.
constexpr double kLevelLineLength = 1.2;
constexpr double kLevelLineAspect = 1.5;

// Where labels may stand: the box with a margin right of it and above it, its edges'
// own lines and the axis numbers below it left out. The margin reaches on past ink that
// runs across its end (a legend wider than the margin), up to a character's width of paper.
cv::Rect LabelArea(const cv::Mat1b& level, const PlotBox& box, double height) {
    const int x0 = static_cast<int>(std::ceil(box.left)) + 2;
    int x1 = static_cast<int>(box.right + kRightShare * (box.right - box.left));
    const int y0 = std::max(0, static_cast<int>(box.top - kAboveHeights * height));
    const int y1 = std::min(level.rows, static_cast<int>(box.bottom) - 2);
    if (x1 < level.cols && y1 > y0) {
        const cv::Mat1b beyond = InkOf(level(cv::Range(y0, y1), cv::Range(x1, level.cols)));
        cv::Mat1i inked;
        cv::reduce(beyond / 255, inked, 0, cv::REDUCE_SUM, CV_32S);
        const int from = x1;
        for (int paper = 0; x1 < level.cols && paper < height; ++x1) {
            paper = inked(0, x1 - from) > 0 ? 0 : paper + 1;
        }
    }
    return cv::Rect(cv::Point(x0, y0), cv::Point(x1, y1)) & cv::Rect(0, 0, level.cols, level.rows);
}

cv::Size BoxSize(const PlotBox& box) {
    return {static_cast<int>(box.right - box.left), static_cast<int>(box.bottom - box.top)};
}

// A mark that reads as no label may be a level label joined to a stub of curve above or
// below it: its level lines of marks, those as long as two characters at least, are read
// apart, and the first that reads as a label is taken.
std::optional<FoundCurveLabel> ReadLevelLine(const Mark& mark, const cv::Mat1b& region,
                                             double height, TextReader& reader) {
    const cv::Rect bounds = cv::boundingRect(mark.ink);
    const std::vector<Mark> lines = Groups(mark.ink(bounds), height, {-1, -1}, true);
    if (lines.size() < 2) {
        return std::nullopt; // one line, read already
    }
    for (const Mark& line : lines) {
        const cv::Rect inked = cv::boundingRect(line.ink);
        if (inked.width < kLevelLineLength * height ||
            inked.width < kLevelLineAspect * inked.height) {
            continue;
        }
        if (auto label = ReadMark(line, region(bounds), height, reader)) {
            label->at.center += cv::Point2f(bounds.tl());
            return label;
        }
    }
    return std::nullopt;
}

// The label area's greys, and the same with the dots of dotted grid lines joined to
// characters (`dots`) painted as paper.
struct AreaGreys {
    cv::Mat1b asPrinted;
    cv::Mat1b dots;
    cv::Mat1b undotted;
};

AreaGreys GreysOf(const cv::Mat1b& region, const cv::Mat1b& marks, const cv::Mat1b& dots) {
    AreaGreys greys{region, dots, region.clone()};
    cv::Mat1b near;
    cv::dilate(dots, near, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    greys.undotted.setTo(255, near & ~(marks & ~dots));
    return greys;
}

// A mark that reads as no label may have a dotted grid line through it, its dots joined to
// the characters: it is read again without them.
std::optional<FoundCurveLabel> ReadUndotted(const Mark& mark, const AreaGreys& greys, double height,
                                            TextReader& reader) {
    if (greys.dots.empty() || cv::countNonZero(mark.ink & greys.dots) == 0) {
        return std::nullopt;
    }
    const Mark undotted{mark.at, mark.ink & ~greys.dots};
    return ReadMark(undotted, greys.undotted, height, reader);
}

// A mark beside a steep curve that reads as no label, or as a lone character, may be a label
// printed along the curve and turned wrongly by its ink: it is read again turned as the curve
// runs, and that reading taken where it gives a label, or more than a lone character.
void ReadAlongTheCurve(std::optional<FoundCurveLabel>& found, const Mark& mark,
                       const AreaGreys& greys, double height, const CurveHeadings& headings,
                       TextReader& reader) {
    if (found && found->text.size() > 1) {
        return;
    }
    if (const std::optional<double> turn = headings.besideAt(mark.at.center)) {
        auto along = ReadMarkAlong(mark, greys.asPrinted, height, *turn, reader);
        if (along && (!found || along->text.size() > 1)) {
            found = std::move(along);
        }
    }
}

// The labels read from the marks, placed in the picture; where the marks that read as no
// label stand go to `unread`.
std::vector<FoundCurveLabel> ReadMarks(const cv::Mat1b& marks, const AreaGreys& greys,
                                       double height, cv::Point edges, cv::Point offset,
                                       const CurveHeadings& headings, TextReader& reader,
                                       std::vector<cv::Point2f>& unread) {
    std::vector<FoundCurveLabel> labels;
    for (Mark& mark : Groups(CharacterSized(marks, height), height, edges)) {
        auto found = ReadMark(mark, greys.asPrinted, height, reader);
        if (!found) {
            found = ReadLevelLine(mark, greys.asPrinted, height, reader);
        }
        if (!found) {
            found = ReadUndotted(mark, greys, height, reader);
        }
        ReadAlongTheCurve(found, mark, greys, height, headings, reader);
        if (found) {
            found->at.center += cv::Point2f(offset);
            labels.push_back(*found);
        } else {
            unread.push_back(mark.at.center + cv::Point2f(offset));
        }
    }
    return labels;
}

// Whether most of one label's rectangle lies in the other's: the two are one label read
// whole one way and in part the other. Labels stacked close may touch.
bool OneWithinTheOther(const cv::RotatedRect& a, const cv::RotatedRect& b) {
    std::vector<cv::Point2f> overlap;
    if (cv::rotatedRectangleIntersection(a, b, overlap) == cv::INTERSECT_NONE) {
        return false;
    }
    std::vector<cv::Point2f> hull;
    cv::convexHull(overlap, hull);
    return cv::contourArea(hull) > kMostlyWithin * std::min(a.size.area(), b.size.area());
}

// Both readings' labels, one of each two that stand in one place, or one mostly within the
// other: the surer one.
std::vector<FoundCurveLabel> Merged(std::vector<FoundCurveLabel> labels,
                                    const std::vector<FoundCurveLabel>& more, double height) {
    for (const FoundCurveLabel& label : more) {
        const auto same = std::find_if(labels.begin(), labels.end(), [&](const auto& other) {
            return cv::norm(other.at.center - label.at.center) < height ||
                   OneWithinTheOther(label.at, other.at);
        });
        if (same == labels.end()) {
            labels.push_back(label);
        } else if (label.confidence > same->confidence) {
            *same = label;
        }
    }
    return labels;
}

// The labels, those read in part where a label read whole (`whole`) stands, within a
// character of its centre, left out; and the labels read whole.
std::vector<FoundCurveLabel> WholeOverParts(std::vector<FoundCurveLabel> labels,
                                            const std::vector<FoundCurveLabel>& whole,
                                            double height) {
    for (const FoundCurveLabel& label : whole) {
        std::erase_if(labels, [&](const FoundCurveLabel& part) {
            return cv::norm(part.at.center - label.at.center) < height;
        });
        labels.push_back(label);
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

// Whether a label stands right of the box: at a curve's end there, or a legend's entry.
bool AnyRightOfTheBox(const std::vector<FoundCurveLabel>& labels, const PlotBox& box) {
    return std::any_of(labels.begin(), labels.end(),
                       [&](const FoundCurveLabel& label) { return label.at.center.x > box.right; });
}

// Labels in small print that lost their points ("Vg = -4.0 V" read "Vg=-40V") give no family
// as read. Where two labels show as many digits after their point, or the zero shows them,
// the others with digits enough get their points back, and give the family where they do.
void WithLostPointsPutBack(CurveLabels& found, const PlotBox& box,
                           const std::vector<fit::PrintedTrace>& curves, double height) {
    const PrintedPoints points = PointsOf(found.labels);
    if (points.allShown || (!points.fixed && points.showing < kLeastShowingTheirPoint)) {
        return;
    }
    std::vector<FoundCurveLabel> mended = PointsPutBack(found.labels, points.decimals);
    GridVoltagesResult again = FamilyOfLabels(mended, box, curves, height);
    if (again.grids) {
        found.labels = std::move(mended);
        found.grids = std::move(again);
    }
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
    cv::Mat1b dots;
    cv::Mat1b marks = MarksWithoutLines(level(area), height, BoxSize(box), &dots);
    const AreaGreys greys = GreysOf(level(area), marks, dots);
    const cv::Rect2d boxInArea = InPixelsOf(box, area.tl());
    const CurveHeadings headings(curves, boxInArea, height);
    std::vector<cv::Point2f> unreadAsPrinted;
    const auto asPrinted =
        ReadMarks(marks, greys, height, edges, area.tl(), headings, reader, unreadAsPrinted);
    EraseCurves(marks, curves, boxInArea, height);
    std::vector<cv::Point2f> unread;
    found.labels =
        Merged(ReadMarks(marks, greys, height, edges, area.tl(), headings, reader, unread),
               asPrinted, height);
    found.labels = WholeOverParts(
        found.labels, LabelsAcrossTheTop(level, box, height, area, curves, reader), height);
    const auto acrossTheCut = LabelsAcrossTheCut(level, box, height, reader);
    if (acrossTheCut) {
        found.labels = Merged(found.labels, *acrossTheCut, height);
    }
    // A mark that read as no label with the curves taken out may have read as printed.
    found.setAside = static_cast<std::size_t>(
        std::count_if(unread.begin(), unread.end(), [&](const cv::Point2f& at) {
            return StandsApart(found.labels, at, height);
        }));
    const FamilyPlaces places(box, curves);
    std::sort(found.labels.begin(), found.labels.end(),
              [&](const FoundCurveLabel& a, const FoundCurveLabel& b) {
                  return places.at(a.at.center) < places.at(b.at.center);
              });
    found.grids = FamilyOfLabels(found.labels, box, curves, height);
    if (!found.grids.grids) {
        WithLostPointsPutBack(found, box, curves, height);
    }
    unread.insert(unread.end(), unreadAsPrinted.begin(), unreadAsPrinted.end());
    if (found.grids.grids &&
        (UnreadPastTheLast(found.labels, unread, places, height) || !acrossTheCut)) {
        found.grids = {std::nullopt, "a text past the last curve label read could not be read"};
    }
    return found;
}

} // namespace

CurveLabels ReadCurveLabels(const cv::Mat1b& level, const cv::Mat1b& coloured, const PlotBox& box,
                            double characterHeight, const std::vector<fit::PrintedTrace>& curves,
                            TextReader& reader) {
    const double height = characterHeight > 0 ? characterHeight : kUsualHeight;
    const cv::Rect area = LabelArea(level, box, height);
    if (area.width < 4 * height || area.height < 4 * height || !reader.ready()) {
        return {{}, 0, GridVoltagesOf({})};
    }
    CurveLabels found = LabelsAtTheCurves(level, box, height, area, curves, reader);
    const LegendEntries legendRead = LegendAmong(found.labels, box, height, level);
    const std::vector<FoundCurveLabel>& entries = legendRead.entries;
    std::optional<CurveLabels> legend;
    if (!entries.empty() && !legendRead.runsOn) {
        legend = FamilyInOrder(entries);
    }
    if (found.grids.grids && AnyRightOfTheBox(found.labels, box) &&
        SampledLegendBeyond(level(area), box, height, area.tl())) {
        found.grids = {std::nullopt,
                       "the curve labels stand in a legend that could not be read whole"};
    }
    if (!legend && (!found.grids.grids || !entries.empty())) {
        legend = LegendFamily(level(area), coloured.empty() ? coloured : coloured(area), box,
                              height, area.tl(), reader, curves);
    }
    if (legend) {
        legend->setAside = found.setAside;
        found = *legend;
    }
    if (!legend && !entries.empty()) {
        found.grids = {std::nullopt,
                       "the curve labels stand in a legend that could not be read whole"};
    }
    if (ZeroReadWithoutItsPoint(found)) {
        found.grids = {std::nullopt, "a curve label read \"00\" lost its decimal point, and so "
                                     "may the others"};
    }
    return found;
}

} // namespace valvix::read
