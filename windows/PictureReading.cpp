#include "windows/PictureReading.h"

#include "plot/ChartGeometry.h"

#include <cmath>
#include <cstddef>
#include <iomanip>
#include <optional>
#include <sstream>

namespace valvix {

namespace {

constexpr Rgb kBoxColour{0, 150, 0};
constexpr Rgb kNumberColour{200, 0, 200};
constexpr Rgb kLabelColour{230, 110, 0};
const FontSpec kMarkFont{"Arial", 7, true};
// A number stands on its axis's scale, and a curve label on the family's step, within
// this share of the step.
constexpr double kOnScale = 0.15;

std::string Number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

PointF Shown(const PictureReading& shown, double x, double y) {
    return FromPicturePixels({static_cast<float>(x), static_cast<float>(y)}, shown.width,
                             shown.height);
}

// The value an axis number stands for on its axis's scale; nothing where the scale set it
// aside.
std::optional<double> UsedValue(const read::ReadNumber& number, const read::AxisScaleResult& axis,
                                bool below) {
    if (!axis.scale) {
        return std::nullopt;
    }
    const cv::Point2d middle = (number.at.tl() + number.at.br()) * 0.5;
    const double onScale = axis.scale->valueAt(below ? middle.x : middle.y);
    for (const double value : number.values) {
        if (std::abs(value - onScale) <= kOnScale * axis.scale->step) {
            return value;
        }
    }
    return std::nullopt;
}

// A curve label's grid voltage, with the minus or point it lost in reading where the
// family says it must have one.
double GridOf(const read::CurveLabel& label, const std::optional<read::GridVoltages>& grids) {
    return grids ? read::LabelValueIn(label, *grids) : label.volts;
}

// Marks the numbers of one axis that its scale used.
void DrawNumbers(DrawingSurface& surface, const PictureReading& shown, bool below) {
    const read::AxisNumbers& numbers = shown.reading.numbers;
    for (const read::ReadNumber& number : below ? numbers.below : numbers.left) {
        const auto value = UsedValue(number, below ? numbers.volts : numbers.amps, below);
        if (!value) {
            continue;
        }
        const PointF topLeft = Shown(shown, number.at.x, number.at.y);
        const PointF bottomRight = Shown(shown, number.at.br().x, number.at.br().y);
        surface.rectangle(topLeft, bottomRight, kNumberColour);
        // Into the box, where the picture has room: above a voltage, right of a current.
        const PointF at = below ? PointF{topLeft.x, topLeft.y - 2 * surface.textHeight()}
                                : PointF{bottomRight.x, topLeft.y};
        surface.text(at, Number(*value), kNumberColour);
    }
}

void DrawCurveLabels(DrawingSurface& surface, const PictureReading& shown) {
    const read::CurveLabels& curves = shown.reading.curveLabels;
    for (const read::FoundCurveLabel& found : curves.labels) {
        const cv::Rect2f around = found.at.boundingRect2f();
        const PointF topLeft = Shown(shown, around.x, around.y);
        const PointF bottomRight = Shown(shown, around.br().x, around.br().y);
        surface.rectangle(topLeft, bottomRight, kLabelColour);
        surface.text({topLeft.x, bottomRight.y}, Number(GridOf(found.label, curves.grids.grids)),
                     kLabelColour);
    }
}

// The axis numbers and curve labels read but set aside: misread, or no number of the
// chart at all.
std::size_t SetAside(const read::ChartReading& reading) {
    const read::AxisNumbers& numbers = reading.numbers;
    std::size_t count = 0;
    for (const read::ReadNumber& number : numbers.below) {
        count += UsedValue(number, numbers.volts, true) ? 0 : 1;
    }
    for (const read::ReadNumber& number : numbers.left) {
        count += UsedValue(number, numbers.amps, false) ? 0 : 1;
    }
    const read::CurveLabels& curves = reading.curveLabels;
    return count + curves.setAside + (curves.grids.grids ? curves.grids.grids->setAside : 0);
}

} // namespace

ReadValues CurrentValues(const Design& design, const ChartGraphic& graphic) {
    return {FrameOf(design),
            design.PlateVoltageFullscale,
            design.PlateCurrentFullscale,
            design.GridVoltageMostPos,
            design.GridVoltageMostNeg,
            design.GridVoltageStep,
            graphic.CurveGraphicTilt.fileName,
            graphic.CurveGraphicTilt.degrees,
            false};
}

ReadValues ValuesFromReading(const read::ChartReading& reading, const Design& design,
                             const ChartGraphic& graphic, int pictureWidth, int pictureHeight) {
    Design typed = design;
    read::ApplyReading(reading, pictureWidth, pictureHeight, typed);
    ReadValues values = CurrentValues(typed, graphic);
    if (reading.box) {
        values.tiltFileName = design.GraphicFileName;
        values.tiltDegrees = static_cast<float>(reading.box->tilt);
    }
    values.fromReading = true;
    return values;
}

void PutValues(const ReadValues& values, Design& design, ChartGraphic& graphic) {
    SetFrame(design, values.frame);
    design.PlateVoltageFullscale = values.voltsFullscale;
    design.PlateCurrentFullscale = values.ampsFullscale;
    design.GridVoltageMostPos = values.gridMostPositive;
    design.GridVoltageMostNeg = values.gridMostNegative;
    design.GridVoltageStep = values.gridStep;
    graphic.CurveGraphicTilt.fileName = values.tiltFileName;
    graphic.CurveGraphicTilt.degrees = values.tiltDegrees;
}

void DrawReading(DrawingSurface& surface, const PictureReading& shown) {
    const auto& box = shown.reading.box;
    if (!box) {
        return;
    }
    const int pen = surface.penWidth();
    surface.setPenWidth(1);
    surface.setFont(kMarkFont);
    const PointF topLeft = Shown(shown, box->left, box->top);
    surface.rectangle(topLeft, Shown(shown, box->right, box->bottom), kBoxColour);
    DrawNumbers(surface, shown, true);
    DrawNumbers(surface, shown, false);
    DrawCurveLabels(surface, shown);
    if (const std::size_t setAside = SetAside(shown.reading); setAside > 0) {
        surface.text({topLeft.x, topLeft.y - 2 * surface.textHeight()},
                     std::to_string(setAside) + " set aside", kBoxColour);
    }
    surface.setPenWidth(pen);
}

std::string DescribeReading(const read::ChartReading& reading) {
    std::ostringstream said;
    if (reading.box) {
        said << "Read: the plot box, the picture turned level by " << std::fixed
             << std::setprecision(2) << reading.box->tilt << std::defaultfloat
             << std::setprecision(6) << " degrees";
    }
    if (reading.voltsFullscale) {
        said << "; plate voltage full scale " << Number(*reading.voltsFullscale) << " V from "
             << reading.numbers.volts.scale->used << " numbers";
    }
    if (reading.ampsFullscale) {
        said << "; plate current full scale " << Number(*reading.ampsFullscale) << " A from "
             << reading.numbers.amps.scale->used << " numbers"
             << (reading.ampsInMilliamps ? " in mA" : "");
    }
    if (const auto& grids = reading.curveLabels.grids.grids) {
        said << "; grid voltages " << Number(grids->mostPositive) << " V to "
             << Number(grids->mostNegative) << " V in steps of " << Number(grids->step)
             << " V from " << reading.curveLabels.labels.size() - grids->setAside
             << " curve labels";
    }
    if (const std::size_t setAside = SetAside(reading); setAside > 0) {
        said << "; " << setAside << (setAside == 1 ? " text" : " texts") << " set aside";
    }
    if (reading.box) {
        said << ".\n";
    }
    for (const std::string& line : reading.remarks) {
        said << line << "\n";
    }
    for (const std::string& missing : reading.missing) {
        said << missing << "\n";
    }
    said << (reading.missing.empty() ? "Continue fits the model to the chart at once."
                                     : "What was not read is left for you to type.");
    return said.str();
}

} // namespace valvix
