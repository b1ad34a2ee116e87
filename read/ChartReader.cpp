#include "read/ChartReader.h"

#include "fit/Digitizer.h"
#include "fit/Spread.h"
#include "fit/StrokeMask.h"
#include "plot/ChartGeometry.h"
#include "read/AxisTitle.h"
#include "read/TextReader.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace valvix::read {

namespace {

// An axis starts at 0 when its value at the box's edge lies within this share of its
// full scale of 0.
constexpr double kZeroShare = 0.01;
// Plotting programs leave a margin of a few percent between the data and the box: an axis
// whose 0 lies inside the box within this share of its span from the corner is framed from
// its 0, and to its last step inside the box (one standing within kOnTheEdge of a step
// beyond the box's edge taken as on it).
constexpr double kMarginShare = 0.1;
constexpr double kOnTheEdge = 0.02;

// Text is read at the size of an ordinary chart: the levelled picture of a box wider than
// this many pixels (a chart scanned at 250 dpi or more) is shrunk for it so that the box is
// kReadBoxWidth pixels wide, and what was read is set back in the picture's pixels.
constexpr double kWidestBoxReadAsIs = 1250;
constexpr double kReadBoxWidth = 1000;
// A pixel whose ink level lies this far below its luma, or farther, is strongly coloured.
constexpr int kColouredBy = 8;

// Where the frame stands along an axis (its 0 and its full scale, in picture pixels) and
// the full scale's value.
struct AxisFrame {
    double zeroAt = 0;
    double fullAt = 0;
    double full = 0;
};

// The frame along an axis whose 0 stands inside the box a little way from its corner (a
// plotting program's margin): from its 0 to its last step inside the box.
std::optional<AxisFrame> WithinTheMargin(const AxisScale& scale, double near, double far) {
    const double zeroAt = scale.positionOf(0);
    const double share = (zeroAt - near) / (far - near);
    if (!(share > 0 && share <= kMarginShare)) {
        return std::nullopt;
    }
    const double steps = std::floor(scale.valueAt(far) / scale.step + kOnTheEdge);
    if (!(steps > 0)) {
        return std::nullopt;
    }
    return AxisFrame{zeroAt, scale.positionOf(steps * scale.step), steps * scale.step};
}

// The frame along an axis from `near` to `far` when it reads 0 at `near` (its full scale at
// `far`), or within the margin, or why not.
std::optional<AxisFrame> FrameAlong(const AxisScaleResult& axis, double near, double far, bool open,
                                    const char* name, std::vector<std::string>& missing) {
    if (!axis.scale) {
        missing.push_back(std::string("The ") + name + " axis could not be read: " + axis.problem +
                          ".");
        return std::nullopt;
    }
    const double full = SnappedValue(*axis.scale, far);
    // An open box's far edge may be where a curve running along the axis ends: taken only
    // on a step of the numbers, as the end of an axis drawn alone stands.
    const double steps = full / axis.scale->step;
    if (open && std::abs(steps - std::round(steps)) > kOnTheEdge) {
        missing.push_back(std::string("The ") + name +
                          " axis ends off its numbers' steps, with no line at its end, so its full "
                          "scale is left for you.");
        return std::nullopt;
    }
    if (full > 0 && std::abs(axis.scale->valueAt(near)) <= kZeroShare * full) {
        return AxisFrame{near, far, full};
    }
    if (const auto margin = WithinTheMargin(*axis.scale, near, far)) {
        return margin;
    }
    missing.push_back(std::string("The ") + name +
                      " axis does not start at 0 at the box's corner, so its full scale is "
                      "left for you.");
    return std::nullopt;
}

// The box's own pixels as a chart space: a volt a pixel right, an ampere a pixel up.
ChartSpace BoxPixels(const PlotBox& box) {
    return {box.left, 1, box.bottom, 1, box.left, box.right, box.top, box.bottom};
}

// The height of the axis numbers' digits; 0 when none were read.
double DigitHeight(const AxisNumbers& numbers) {
    std::vector<double> heights;
    for (const auto* side : {&numbers.below, &numbers.left}) {
        for (const ReadNumber& number : *side) {
            heights.push_back(number.at.height);
        }
    }
    return heights.empty() ? 0.0 : fit::Median(std::move(heights));
}

// What is read from the text and the curves of the levelled picture.
struct TextRead {
    AxisNumbers numbers;
    std::optional<bool> titledInMilliamps;
    CurveLabels curveLabels;
};

TextRead ReadText(const GreyLevels& levelled, const cv::Mat1b& coloured, const PlotBox& box,
                  TextReader& reader) {
    TextRead read;
    const cv::Mat1b level = fit::GreyView(levelled);
    read.numbers = ReadAxisNumbers(level, box, reader);
    if (read.numbers.amps.scale) {
        read.titledInMilliamps = CurrentTitleInMilliamps(level, box, read.numbers, reader);
    }
    const fit::DigitizedChart curves = fit::DigitizeChart(levelled, BoxPixels(box));
    read.curveLabels =
        ReadCurveLabels(level, coloured, box, DigitHeight(read.numbers), curves.traces, reader);
    return read;
}

// The levelled picture shrunk by `shrink`, smoothly.
GreyLevels Shrunk(const GreyLevels& levelled, double shrink) {
    cv::Mat1b small;
    cv::resize(fit::GreyView(levelled), small, cv::Size(), 1 / shrink, 1 / shrink, cv::INTER_AREA);
    return fit::GreyLevelsOf(small);
}

// What was read in a picture shrunk by `shrink`, set back in the picture's own pixels.
void GrownBack(TextRead& read, double shrink) {
    for (auto* side : {&read.numbers.below, &read.numbers.left}) {
        for (ReadNumber& number : *side) {
            number.at = cv::Rect2d(number.at.tl() * shrink, number.at.size() * shrink);
        }
    }
    for (AxisScaleResult* axis : {&read.numbers.volts, &read.numbers.amps}) {
        if (axis->scale) {
            axis->scale->valuePerPixel /= shrink;
            for (AxisLabel& label : axis->scale->setAside) {
                label.position *= shrink;
            }
        }
    }
    for (FoundCurveLabel& label : read.curveLabels.labels) {
        label.at = cv::RotatedRect(label.at.center * shrink,
                                   cv::Size2f(static_cast<float>(label.at.size.width * shrink),
                                              static_cast<float>(label.at.size.height * shrink)),
                                   label.at.angle);
    }
}

// Where the levelled picture is strongly coloured: its ink levels darker than its luma (they
// are the luma itself elsewhere). Nothing where no ink levels are given.
cv::Mat1b ColouredOf(const GreyLevels& levelled, const GreyLevels& levelledInk) {
    cv::Mat1b coloured;
    if (!levelledInk.empty()) {
        cv::compare(fit::GreyView(levelledInk) + kColouredBy, fit::GreyView(levelled), coloured,
                    cv::CMP_LT);
    }
    return coloured;
}

// Reads the text of the levelled picture, shrunk first where its box is wide.
TextRead ReadTextAtUsualSize(const GreyLevels& levelled, const cv::Mat1b& coloured,
                             const PlotBox& box, TextReader& reader) {
    const double shrink =
        box.right - box.left > kWidestBoxReadAsIs ? (box.right - box.left) / kReadBoxWidth : 1.0;
    if (shrink == 1.0) {
        return ReadText(levelled, coloured, box, reader);
    }
    const PlotBox small{box.left / shrink, box.right / shrink, box.top / shrink,
                        box.bottom / shrink, box.tilt};
    cv::Mat1b smallColoured;
    if (!coloured.empty()) {
        cv::resize(coloured, smallColoured, cv::Size(), 1 / shrink, 1 / shrink, cv::INTER_AREA);
        cv::threshold(smallColoured, smallColoured, 127, 255, cv::THRESH_BINARY);
    }
    TextRead read = ReadText(Shrunk(levelled, shrink), smallColoured, small, reader);
    GrownBack(read, shrink);
    return read;
}

} // namespace

ChartReading ReadChart(const GreyLevels& grey, TextReader& reader) {
    return ReadChart(grey, grey, reader);
}

ChartReading ReadChart(const GreyLevels& grey, const GreyLevels& ink, TextReader& reader) {
    ChartReading reading;
    const PlotBoxResult found = FindPlotBox(grey);
    if (!found.box) {
        reading.missing.push_back("No plot box was found: " + found.problem + ".");
        return reading;
    }
    reading.box = found.box;
    if (!reader.ready()) {
        reading.missing.emplace_back("The text reader (Tesseract with its English data) could "
                                     "not be started, so no numbers were read.");
        return reading;
    }
    const PlotBox& box = *found.box;
    reading.levelled = LevelledLevels(grey, box.tilt);
    if (&ink != &grey) {
        reading.levelledInk = LevelledLevels(ink, box.tilt);
    }
    TextRead read = ReadTextAtUsualSize(
        reading.levelled, ColouredOf(reading.levelled, reading.levelledInk), box, reader);
    reading.numbers = std::move(read.numbers);
    reading.curveLabels = std::move(read.curveLabels);
    reading.frame = box;
    if (const auto volts = FrameAlong(reading.numbers.volts, box.left, box.right, box.open,
                                      "plate voltage", reading.missing)) {
        reading.voltsFullscale = volts->full;
        reading.frame.left = volts->zeroAt;
        reading.frame.right = volts->fullAt;
    }
    if (const auto amps = FrameAlong(reading.numbers.amps, box.bottom, box.top, box.open,
                                     "plate current", reading.missing)) {
        reading.frame.bottom = amps->zeroAt;
        reading.frame.top = amps->fullAt;
        const double printed = amps->full;
        PlateCurrent current = PlateCurrentOf(printed);
        if (const auto titled = read.titledInMilliamps) {
            current = {*titled ? printed / 1000 : printed, *titled};
            reading.ampsUnitFromTitle = true;
        }
        reading.ampsFullscale = current.amps;
        reading.ampsInMilliamps = current.inMilliamps;
    }
    if (reading.frame.left != box.left || reading.frame.bottom != box.bottom) {
        reading.remarks.emplace_back(
            "The data stand a margin inside the box, as plotting programs draw them: the "
            "frame runs from the axes' 0 to their last numbers inside the box.");
    }
    if (!reading.curveLabels.grids.grids) {
        reading.missing.push_back("The grid voltages could not be read from the curve labels: " +
                                  reading.curveLabels.grids.problem + ".");
    }
    return reading;
}

void ApplyReading(const ChartReading& reading, int pictureWidth, int pictureHeight,
                  Design& design) {
    if (reading.box) {
        const PlotBox& box = reading.frame;
        const PointF topLeft =
            FromPicturePixels({static_cast<float>(box.left), static_cast<float>(box.top)},
                              pictureWidth, pictureHeight);
        const PointF bottomRight =
            FromPicturePixels({static_cast<float>(box.right), static_cast<float>(box.bottom)},
                              pictureWidth, pictureHeight);
        design.Xleft = topLeft.x;
        design.Ytop = topLeft.y;
        design.Xright = bottomRight.x;
        design.Ybottom = bottomRight.y;
    }
    if (reading.voltsFullscale) {
        design.PlateVoltageFullscale = static_cast<float>(*reading.voltsFullscale);
    }
    if (reading.ampsFullscale) {
        design.PlateCurrentFullscale = static_cast<float>(*reading.ampsFullscale);
    }
    if (const auto& grids = reading.curveLabels.grids.grids) {
        design.GridVoltageMostPos = static_cast<float>(grids->mostPositive);
        design.GridVoltageMostNeg = static_cast<float>(grids->mostNegative);
        design.GridVoltageStep = static_cast<float>(grids->step);
    }
}

} // namespace valvix::read
