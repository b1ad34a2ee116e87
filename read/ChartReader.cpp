#include "read/ChartReader.h"

#include "plot/ChartGeometry.h"
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
    reading.numbers = ReadAxisNumbers(LevelledGrey(grey, box.tilt), box, reader);
    reading.voltsFullscale =
        FullScale(reading.numbers.volts, box.left, box.right, "plate voltage", reading.missing);
    if (const auto printed = FullScale(reading.numbers.amps, box.bottom, box.top, "plate current",
                                       reading.missing)) {
        const PlateCurrent current = PlateCurrentOf(*printed);
        reading.ampsFullscale = current.amps;
        reading.ampsInMilliamps = current.inMilliamps;
    }
    reading.missing.emplace_back("The grid voltages are not read from the curve labels yet: "
                                 "type them in.");
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
}

} // namespace valvix::read
