#include "read/ChartReader.h"

#include "fit/Digitizer.h"
#include "fit/Spread.h"
#include "plot/ChartGeometry.h"
#include "read/AxisTitle.h"
#include "read/TextReader.h"

#include <cmath>

namespace valvix::read {

namespace {

// An axis starts at 0 when its value at the box's edge lies within this share of its
// full scale of 0.
constexpr double kZeroShare = 0.01;

// The full scale of an axis at `far` when it reads 0 at `near`, or why not.
std::optional<double> FullScale(const AxisScaleResult& axis, double near, double far,
                                const char* name, std::vector<std::string>& missing) {
    if (!axis.scale) {
        missing.push_back(std::string("The ") + name + " axis could not be read: " + axis.problem +
                          ".");
        return std::nullopt;
    }
    const double full = SnappedValue(*axis.scale, far);
    if (!(full > 0) || std::abs(axis.scale->valueAt(near)) > kZeroShare * full) {
        missing.push_back(std::string("The ") + name +
                          " axis does not start at 0 at the box's corner, so its full scale is "
                          "left for you.");
        return std::nullopt;
    }
    return full;
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

} // namespace

ChartReading ReadChart(const GreyLevels& grey, TextReader& reader) {
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
    // A header over the levelled picture: read only.
    const cv::Mat1b level(reading.levelled.height, reading.levelled.width,
                          reading.levelled.levels.data());
    reading.numbers = ReadAxisNumbers(level, box, reader);
    reading.voltsFullscale =
        FullScale(reading.numbers.volts, box.left, box.right, "plate voltage", reading.missing);
    if (const auto printed = FullScale(reading.numbers.amps, box.bottom, box.top, "plate current",
                                       reading.missing)) {
        PlateCurrent current = PlateCurrentOf(*printed);
        if (const auto titled = CurrentTitleInMilliamps(level, box, reading.numbers, reader)) {
            current = {*titled ? *printed / 1000 : *printed, *titled};
            reading.ampsUnitFromTitle = true;
        }
        reading.ampsFullscale = current.amps;
        reading.ampsInMilliamps = current.inMilliamps;
    }
    const fit::DigitizedChart curves = fit::DigitizeChart(reading.levelled, BoxPixels(box));
    reading.curveLabels =
        ReadCurveLabels(level, box, DigitHeight(reading.numbers), curves.traces, reader);
    if (!reading.curveLabels.grids.grids) {
        reading.missing.push_back("The grid voltages could not be read from the curve labels: " +
                                  reading.curveLabels.grids.problem + ".");
    }
    return reading;
}

void ApplyReading(const ChartReading& reading, int pictureWidth, int pictureHeight,
                  Design& design) {
    if (reading.box) {
        const PlotBox& box = *reading.box;
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
