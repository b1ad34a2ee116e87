#pragma once

#include "read/AxisScale.h"
#include "read/PlotBox.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace valvix::read {

class TextReader;

// A number read beside an axis: where its text stands in the levelled picture's pixels,
// what the reader gave, and the values it may be. A text is read at two sizes; where the
// readings differ, both values are offered to the axis's scale, which takes the one
// that steps evenly with the other numbers.
struct ReadNumber {
    cv::Rect2d at;
    std::string text;
    std::vector<double> values;
};

// The numbers read below the box (the plate voltage axis) and left of it (the plate
// current axis), and the scales they give: values per picture pixel, as printed.
struct AxisNumbers {
    std::vector<ReadNumber> below;
    std::vector<ReadNumber> left;
    AxisScaleResult volts;
    AxisScaleResult amps;
};

// The plate current a number of the current axis stands for, in amperes, with the unit
// it was printed in: data sheets number that axis in milliamperes, so a full scale above
// 2 is taken as mA, one of 2 or less as amperes.
struct PlateCurrent {
    double amps = 0;
    bool inMilliamps = false;
};
PlateCurrent PlateCurrentOf(double printedFullScale);

// Finds the labels beside the box's bottom and left edges in the levelled grey picture
// (the row of text nearest below the box; the texts standing right-aligned against the
// left edge), reads each as one line of digits, minus signs and points, and fits each
// axis's scale to them.
AxisNumbers ReadAxisNumbers(const cv::Mat1b& level, const PlotBox& box, TextReader& reader);

} // namespace valvix::read
