#include "read/TopEdgeLabels.h"

#include "read/LabelGroups.h"
#include "read/LabelInk.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace valvix::read {

namespace {

// The strip read reaches as far above the box's top edge as labels stand, and this many
// character heights below it: further than any character, so that the box's upright grid
// lines there are taken out as lines.
constexpr double kAboveHeights = 2.5;
constexpr double kBelowHeights = 4;
// The box's top edge is looked for this many character heights from where the box was
// found, and is inked along this share of the strip's width at least.
constexpr double kEdgeReach = 0.5;
constexpr double kEdgeInked = 0.5;
// A stroke crosses a line this many character heights thick at most.
constexpr double kThickestLine = 0.4;

cv::Rect StripAcrossTheTop(const cv::Mat1b& level, const PlotBox& box, double height,
                           const cv::Rect& area) {
    const cv::Point from(area.x, static_cast<int>(box.top - kAboveHeights * height));
    const cv::Point to(area.x + area.width, static_cast<int>(box.top + kBelowHeights * height));
    return cv::Rect(from, to) & cv::Rect(0, 0, level.cols, level.rows);
}

// The row of the strip's ink that the box's top edge runs along (near `top`), or -1.
int TopLine(const cv::Mat1b& ink, double top, double height) {
    int best = -1;
    int most = static_cast<int>(kEdgeInked * ink.cols);
    const int reach = static_cast<int>(std::ceil(kEdgeReach * height));
    for (int y = static_cast<int>(std::lround(top)) - reach;
         y <= static_cast<int>(std::lround(top)) + reach; ++y) {
        if (y >= 0 && y < ink.rows && cv::countNonZero(ink.row(y)) >= most) {
            most = cv::countNonZero(ink.row(y));
            best = y;
        }
    }
    return best;
}

// Puts back into the marks the line's ink (at row `line`) where a character's stroke
// crosses it: in each column, the run of ink through the line that the marks carry on from
// just above and just below, straight on at least one side (a slanting stroke shifts a
// column across the line; the paper inside a small 0 does not fill).
void StrokesAcrossTheLine(const cv::Mat1b& ink, cv::Mat1b& marks, int line, double height) {
    const cv::Mat1b taken = ink & ~marks;
    const auto marked = [&](int y, int x) {
        return y >= 0 && y < marks.rows &&
               cv::countNonZero(
                   marks.row(y).colRange(std::max(0, x - 1), std::min(marks.cols, x + 2))) > 0;
    };
    const int thickest = std::max(2, static_cast<int>(kThickestLine * height));
    for (int x = 0; x < ink.cols; ++x) {
        if (taken(line, x) == 0) {
            continue;
        }
        int first = line;
        while (first > 0 && taken(first - 1, x) != 0) {
            --first;
        }
        int last = line;
        while (last + 1 < ink.rows && taken(last + 1, x) != 0) {
            ++last;
        }
        const bool straightOn = (first > 0 && marks(first - 1, x) != 0) ||
                                (last + 1 < marks.rows && marks(last + 1, x) != 0);
        if (last - first < thickest && straightOn && marked(first - 1, x) && marked(last + 1, x)) {
            marks.col(x).rowRange(first, last + 1).setTo(255);
        }
    }
}

// The greys with the lines taken out of the marks painted as paper, their soft rims too, so
// that they show in no crop.
cv::Mat1b LinesAsPaper(const cv::Mat1b& greys, const cv::Mat1b& ink, const cv::Mat1b& marks) {
    cv::Mat1b taken;
    cv::dilate(ink & ~marks, taken, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    cv::Mat1b painted = greys.clone();
    painted.setTo(cv::mean(greys, ~ink)[0], taken & ~marks);
    return painted;
}

} // namespace

std::vector<FoundCurveLabel> LabelsAcrossTheTop(const cv::Mat1b& level, const PlotBox& box,
                                                double height, const cv::Rect& area,
                                                const std::vector<fit::PrintedTrace>& curves,
                                                TextReader& reader) {
    const cv::Rect strip = StripAcrossTheTop(level, box, height, area);
    if (strip.width < 4 * height || strip.height < 4 * height) {
        return {};
    }
    const cv::Mat1b ink = InkOf(level(strip));
    const int line = TopLine(ink, box.top - strip.y, height);
    if (line < 0) {
        return {};
    }
    cv::Mat1b marks = MarksWithoutLines(
        level(strip), height,
        {static_cast<int>(box.right - box.left), static_cast<int>(box.bottom - box.top)});
    StrokesAcrossTheLine(ink, marks, line, height);
    const cv::Mat1b greys = LinesAsPaper(level(strip), ink, marks);
    EraseCurves(marks, curves, InPixelsOf(box, strip.tl()), height);
    std::vector<FoundCurveLabel> labels;
    // Apart from the stubs of curves inside the box, as the other marks are.
    const cv::Point rightEdge(static_cast<int>(std::lround(box.right)) - strip.x, -1);
    for (const Mark& mark : Groups(CharacterSized(marks, height), height, rightEdge)) {
        const cv::Rect inked = cv::boundingRect(mark.ink);
        if (inked.y >= line || inked.y + inked.height <= line + 1) {
            continue; // not across the line: read with the other marks
        }
        if (auto label = ReadMark(mark, greys, height, reader)) {
            label->at.center += cv::Point2f(strip.tl());
            labels.push_back(*label);
        }
    }
    return labels;
}

} // namespace valvix::read
