#include "read/LegendFamily.h"

#include "fit/StrokeMask.h"
#include "read/LabelGroups.h"
#include "read/LabelInk.h"
#include "read/LabelMarks.h"
#include "read/LabelText.h"
#include "read/Legend.h"
#include "read/LegendSamples.h"
#include "read/LostPoints.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <string>

namespace valvix::read {

namespace {

// Entries read as nothing, one after another, that the even step of the others may mend (a
// curve run through an entry's text leaves it unread in every ink). A first or last entry
// unread leaves the family of the others one curve short of the entries, and is refused.
constexpr std::size_t kMostUnreadInARow = 1;

// A legend's text lines: each mark and its bounds.
struct TextLines {
    std::vector<Mark> marks;
    std::vector<cv::Rect> bounds;
};

// The column's entry `i` across the column's whole span: a curve across its text may have
// taken its ends.
cv::Rect ColumnWide(const std::vector<cv::Rect>& bounds, const std::vector<std::size_t>& column,
                    std::size_t i) {
    cv::Rect spans = bounds[i];
    for (const std::size_t j : column) {
        spans |= bounds[j];
    }
    return {spans.x, bounds[i].y, spans.width, bounds[i].height};
}

// How many curves a family has.
std::size_t CurvesOf(const GridVoltages& grids) {
    return static_cast<std::size_t>(
               std::lround((grids.mostPositive - grids.mostNegative) / grids.step)) +
           1;
}

// The text lines of the label area in the box and right of it.
struct TextSides {
    TextLines inside;
    TextLines beyond;
};

// Which ink a legend's entries are read from: as printed; with the curves found taken out
// (a curve that crosses an entry joins it to others, or to a stretch of curve too long for
// a character); or only the darkest, where black text stands over lighter coloured curves.
enum class EntryInk { AsPrinted, CurvesOut, DarkestOnly };
constexpr EntryInk kEntryInksTried[] = {EntryInk::AsPrinted, EntryInk::CurvesOut,
                                        EntryInk::DarkestOnly};

// Ink this share as dark as the darkest mark's, or darker, is the darkest.
constexpr double kDarkestShare = 0.75;

TextSides TextSidesOf(const cv::Mat1b& region, const PlotBox& box, double height, cv::Point offset,
                      EntryInk ink = EntryInk::AsPrinted,
                      const std::vector<fit::PrintedTrace>& curves = {}) {
    TextSides sides;
    const double edge = box.right - offset.x;
    const cv::Size boxSize(static_cast<int>(box.right - box.left),
                           static_cast<int>(box.bottom - box.top));
    cv::Mat1b marks = MarksWithoutLines(region, height, boxSize);
    if (ink == EntryInk::CurvesOut) {
        EraseCurves(marks, curves, InPixelsOf(box, offset), height);
    } else if (ink == EntryInk::DarkestOnly) {
        const cv::Mat1b dark = fit::DarknessAgainstPaper(region);
        double darkest = 0;
        cv::minMaxLoc(dark, nullptr, &darkest, nullptr, nullptr, marks);
        marks &= dark >= kDarkestShare * darkest;
    }
    for (Mark& mark : Groups(CharacterSized(marks, height), height, {-1, -1}, true)) {
        const cv::Rect line = cv::boundingRect(mark.ink);
        TextLines* side = line.x + line.width < edge ? &sides.inside
                          : line.x > edge            ? &sides.beyond
                                                     : nullptr;
        if (side != nullptr) {
            side->marks.push_back(std::move(mark));
            side->bounds.push_back(line);
        }
    }
    return sides;
}

// Whether a text line of the ink as printed stands where the column's next entry would:
// with the curves taken out, an entry a curve runs along goes with it.
bool PrintedLineRunsOn(const std::vector<cv::Rect>& printed, const std::vector<cv::Rect>& bounds,
                       const std::vector<std::size_t>& column) {
    std::vector<cv::Rect> lines = printed;
    std::vector<std::size_t> entries;
    for (const std::size_t i : column) {
        entries.push_back(lines.size());
        lines.push_back(bounds[i]);
    }
    return ColumnRunsOn(lines, entries);
}

// The family the lines' legend column (found by `LegendColumn`) gives; with `samples`, only
// where every entry has a sample of its curve's line beside it. Nothing where the column may
// run on, by the lines of this ink or the `printed` ones on the same side. An entry that reads
// as nothing between two read ones is left to the others' even step, where that gives each
// entry one curve; one that reads as nothing right after another is read again as printed.
std::optional<CurveLabels> ColumnFamily(const TextLines& lines,
                                        const std::vector<std::size_t>& column,
                                        const std::vector<cv::Rect>& printed,
                                        const cv::Mat1b& region, double height, cv::Point offset,
                                        bool samples, TextReader& reader) {
    if (column.empty() || ColumnRunsOn(lines.bounds, column) ||
        PrintedLineRunsOn(printed, lines.bounds, column) ||
        SampleAfterTheLast(region, lines.bounds, column, height)) {
        return std::nullopt;
    }
    if (samples && !std::all_of(column.begin(), column.end(), [&](std::size_t i) {
            return SampleBeside(region, lines.bounds[i], height);
        })) {
        return std::nullopt;
    }
    std::vector<FoundCurveLabel> labels;
    std::size_t unread = 0;
    for (const std::size_t i : column) {
        auto label = ReadMark(lines.marks[i], region, height, reader, true);
        if (!label && unread >= kMostUnreadInARow) {
            label = ReadEntryAsPrinted(ColumnWide(lines.bounds, column, i), region, height, reader);
        }
        if (!label && unread < kMostUnreadInARow) {
            ++unread;
            continue;
        }
        if (!label) {
            return std::nullopt;
        }
        unread = 0;
        label->at.center += cv::Point2f(offset);
        labels.push_back(*label);
    }
    const bool someUnread = labels.size() < column.size();
    std::optional<CurveLabels> family = FamilyInOrder(std::move(labels));
    if (family && someUnread && CurvesOf(*family->grids.grids) != column.size()) {
        return std::nullopt; // the step fills the gaps with more curves than the entries
    }
    return family;
}

// The family the legend among the text lines gives: in the box, else right of it. The
// `printed` sides are the text lines of the ink as printed.
std::optional<CurveLabels> FamilyOfSides(const TextSides& sides, const TextSides& printed,
                                         const cv::Mat1b& region, double height, cv::Point offset,
                                         TextReader& reader) {
    const std::vector<std::size_t> column = LegendColumn(sides.inside.bounds, height);
    if (!column.empty()) {
        return ColumnFamily(sides.inside, column, printed.inside.bounds, region, height, offset,
                            false, reader);
    }
    return ColumnFamily(sides.beyond, LegendColumn(sides.beyond.bounds, height),
                        printed.beyond.bounds, region, height, offset, true, reader);
}

// The family the entries give as read, in their order from the top or from the bottom.
std::optional<CurveLabels> FamilyAsRead(std::vector<FoundCurveLabel> labels) {
    for (int turn = 0; turn < 2; ++turn) {
        std::vector<CurveLabel> values;
        values.reserve(labels.size());
        for (const FoundCurveLabel& label : labels) {
            values.push_back(label.label);
        }
        CurveLabels legend{labels, 0, GridVoltagesOf(values)};
        if (legend.grids.grids && legend.grids.grids->setAside == 0) {
            return legend;
        }
        std::reverse(labels.begin(), labels.end());
    }
    return std::nullopt;
}

} // namespace

bool ZeroReadWithoutItsPoint(const CurveLabels& found) {
    if (!found.grids.grids) {
        return false;
    }
    bool zeroWithout = false;
    bool otherWithout = false;
    for (const FoundCurveLabel& label : found.labels) {
        std::string digits;
        std::copy_if(label.text.begin(), label.text.end(), std::back_inserter(digits),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
        if (digits.empty() || label.text.find('.') != std::string::npos) {
            continue;
        }
        (digits == "00" ? zeroWithout : otherWithout) = true;
    }
    return zeroWithout && otherWithout;
}

std::optional<CurveLabels> FamilyInOrder(std::vector<FoundCurveLabel> labels) {
    const PrintedPoints points = PointsOf(labels);
    if (points.allShown || (!points.fixed && points.showing < kLeastShowingTheirPoint)) {
        return FamilyAsRead(std::move(labels));
    }
    std::vector<FoundCurveLabel> mended = PointsPutBack(labels, points.decimals);
    if (points.fixed) {
        return FamilyAsRead(std::move(mended));
    }
    std::optional<CurveLabels> family = FamilyAsRead(std::move(labels));
    return family ? family : FamilyAsRead(std::move(mended));
}

std::optional<CurveLabels> LegendFamily(const cv::Mat1b& region, const cv::Mat1b& coloured,
                                        const PlotBox& box, double height, cv::Point offset,
                                        TextReader& reader,
                                        const std::vector<fit::PrintedTrace>& curves) {
    std::optional<CurveLabels> legend;
    const TextSides printed = TextSidesOf(region, box, height, offset);
    for (const EntryInk ink : kEntryInksTried) {
        if (ink == EntryInk::CurvesOut && curves.empty()) {
            continue;
        }
        const TextSides sides = ink == EntryInk::AsPrinted
                                    ? printed
                                    : TextSidesOf(region, box, height, offset, ink, curves);
        legend = FamilyOfSides(sides, printed, region, height, offset, reader);
        if (legend) {
            return legend;
        }
    }
    if (coloured.empty() || cv::countNonZero(coloured) == 0) {
        return std::nullopt;
    }
    // The coloured pixels made paper: the entries' black text stands whole but for the
    // curves' width, the samples beside them gone.
    cv::Mat1b neutral = region.clone();
    neutral.setTo(255, coloured);
    const TextSides sides = TextSidesOf(neutral, box, height, offset);
    return FamilyOfSides(sides, sides, neutral, height, offset, reader);
}

bool SampledLegendBeyond(const cv::Mat1b& region, const PlotBox& box, double height,
                         cv::Point offset) {
    // Only the strip right of the box is looked at: the text lines there, and samples beside
    // them (a curve ending at the box's edge is none).
    const int edge = std::clamp(static_cast<int>(std::floor(box.right)) - offset.x, 0, region.cols);
    if (region.cols - edge < height) {
        return false; // no character fits
    }
    const cv::Mat1b strip = region.colRange(edge, region.cols);
    const TextSides sides = TextSidesOf(strip, box, height, offset + cv::Point(edge, 0));
    const std::vector<std::size_t> column = LegendColumn(sides.beyond.bounds, height);
    return !column.empty() && std::all_of(column.begin(), column.end(), [&](std::size_t i) {
        return SampleBeside(strip, sides.beyond.bounds[i], height);
    });
}

LegendEntries LegendAmong(const std::vector<FoundCurveLabel>& labels, const PlotBox& box,
                          double height, const cv::Mat1b& level) {
    std::vector<FoundCurveLabel> inTheBox;
    std::vector<cv::Rect> lines;
    for (const FoundCurveLabel& label : labels) {
        if (label.at.center.x < box.right) {
            inTheBox.push_back(label);
            lines.push_back(label.at.boundingRect());
        }
    }
    LegendEntries legend;
    const std::vector<std::size_t> column = LegendColumn(lines, height);
    for (const std::size_t i : column) {
        legend.entries.push_back(inTheBox[i]);
    }
    legend.runsOn = ColumnRunsOn(lines, column) || SampleAfterTheLast(level, lines, column, height);
    return legend;
}

} // namespace valvix::read
