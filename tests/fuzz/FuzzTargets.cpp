#include "FuzzTargets.h"

#include "export/SweepTable.h"
#include "fit/Digitizer.h"
#include "fit/PointsFile.h"
#include "read/ChartReader.h"
#include "read/GridLabels.h"
#include "read/LabelText.h"
#include "read/LegendFamily.h"
#include "read/PlotBox.h"
#include "read/TextReader.h"
#include "state/DesignFile.h"
#include "state/EngineeringText.h"
#include "state/NumberText.h"
#include "state/Single.h"
#include "support/SampleDesign.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace valvix::fuzz {

namespace {

// Under libFuzzer the exception ends the program, which keeps the input.
void Check(bool holds, const std::string& what) {
    if (!holds)
        throw PropertyBroken(what);
}
// The next T of the input, zero-filled once it is used up.
template <typename T> T Take(std::string_view& input) {
    T value{};
    std::memcpy(&value, input.data(), std::min(input.size(), sizeof(T)));
    input.remove_prefix(std::min(input.size(), sizeof(T)));
    return value;
}
// Within the 7 significant digits written, a value that is not finite as 0.
bool Near(float read, float written) {
    const float v = std::isfinite(written) ? written : 0;
    return std::fabs(double(read) - v) <=
           5.000001e-7 * std::fabs(v) + std::nextafter(std::fabs(v), INFINITY) - std::fabs(v);
}

} // namespace

// Any entry text reads as a number within +-1e10, blanks around it changing nothing; the
// plain reader never gives NaN.
int NumberText(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const float value = ParseEngineering(text);
    Check(std::fabs(value) <= 1e10f && ParseEngineering(" " + text + "  ") == value, "ParseEngineering: " + text);
    Check(!std::isnan(ReadPlainNumber(text)), "ReadPlainNumber: " + text);
    return 0;
}

// Any Single's general text reads back within its 7th digit, the plain form adding a
// blank for the sign. Any double's engineering text ends in its band's suffix ("0  " at
// 0.00001 and below) and reads back within the band's decimals.
int NumberFormat(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size), wide = input;
    const float value = Take<float>(input);
    const std::string text = FormatSingleGeneral(value);
    Check(FormatPlainNumber(value) == (text[0] == '-' ? text : " " + text) &&
              (!std::isfinite(value) || Near(ToSingle(ReadPlainNumber(text)), value)),
          "general form " + text);
    for (const double x : {Take<double>(wide), double(value)}) {
        const std::string engineering = FormatEngineering(x);
        const double m = std::fabs(x), units[] = {1e6, 1e3, 1, 0.01, 0.001, 1e-4, 1e-5},
                     lowest[] = {1e9, 1e6, 1e3, 100, 10, 1};
        const long band = std::count_if(std::begin(lowest), std::end(lowest), [&](double low) { return m < low; });
        Check(m > 0.00001 ? engineering.back() == "GMk    "[band] &&
                                (m > 1e10 || std::fabs(ParseEngineering(engineering) - x) <= units[band] / 2 + 8e-7 * m)
                          : engineering == "0  ",
              "engineering text " + engineering);
    }
    return 0;
}

// Read as a design file, any bytes assign only the 14 values and then the dissipation,
// in file order, each a finite Single. Taken as values, a path and a date, they write 18
// CR LF lines that read back within the 7 digits written.
int DesignFile(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    Design read = test::DesignOf({NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN});
    read.Dissipation = NAN;
    const bool ok = ReadDesignText(input, read);
    std::vector<float> got(test::kFileFields.size() + 1);
    std::ranges::copy(test::ValuesOf(read), got.begin());
    got.back() = read.Dissipation;
    const auto assigned = std::find_if(got.begin(), got.end(), [](float v) { return std::isnan(v); });
    Check(std::all_of(got.begin(), assigned, [](float v) { return std::isfinite(v); }) &&
              std::all_of(assigned, got.end(), [](float v) { return std::isnan(v); }) && (ok || assigned != got.end()),
          "not read in file order");
    test::Values values{};
    for (float& value : values)
        value = Take<float>(input);
    const std::size_t split = std::min(input.find('\xff'), input.size());
    const std::string text =
        DesignFileText(test::DesignOf(values), input.substr(0, split), input.substr(std::min(split + 1, input.size())));
    Check(std::count(text.begin(), text.end(), '\n') == 18 && std::count(text.begin(), text.end(), '\r') == 18 &&
              ReadDesignText(text, read),
          "not 18 lines");
    for (std::size_t i = 0; i < values.size(); ++i)
        Check(Near(test::ValuesOf(read)[i], values[i]), "value " + std::to_string(i) + " not read back");
    return 0;
}

// Any bytes read as a points file give 5 to 20000 points within their columns' ranges, or
// a refusal that says why; the points written back with every digit read back exactly.
int PointsFile(const std::uint8_t* data, std::size_t size) {
    const fit::PointsFile file = fit::ReadPointsText({reinterpret_cast<const char*>(data), size});
    Check(file.ok == file.message.empty(), "message " + file.message);
    if (!file.ok)
        return 0;
    Check(file.points.size() >= 5 && file.points.size() <= 20000, "point count");
    std::string again = "Vp,Vg,Ip (A)\n";
    for (const fit::ChartPoint& p : file.points) {
        Check(p.vp >= 0 && p.vp <= 1e6 && std::fabs(p.vg) <= 1000 && p.ip >= 0 && p.ip <= 1e4, "point out of range");
        char row[100];
        std::snprintf(row, sizeof row, "%.17g,%.17g,%.17g\r\n", p.vp, p.vg, p.ip);
        again += row;
    }
    const fit::PointsFile read = fit::ReadPointsText(again);
    Check(read.points.size() == file.points.size(), "written back: " + read.message);
    for (std::size_t i = 0; i < read.points.size(); ++i) {
        const fit::ChartPoint &a = file.points[i], &b = read.points[i];
        Check(a.vp == b.vp && a.vg == b.vg && a.ip == b.ip, "point " + std::to_string(i) + " read back");
    }
    return 0;
}

// Any bytes read as ngspice's table give finite points and no error, or a short error and
// no points; a blank line after the table changes nothing.
int SweepTable(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const valvix::SweepTable table = ReadSweepTable(text);
    Check(table.error.empty() != table.points.empty() && table.error.size() < 80, "error " + table.error);
    for (const SweepPoint& p : table.points)
        Check(std::isfinite(p.plateVoltage + p.gridVoltage + p.plateCurrent), "a point is not finite");
    Check(ReadSweepTable(text + "\n \n").points.size() == table.points.size(), "a blank line changed the table");
    return 0;
}

// Any small picture, under any frame, digitizes without a crash into points that lie
// inside the frame's scales.
int Digitizer(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    GreyLevels grey;
    grey.width = 1 + Take<std::uint8_t>(input) % 96;
    grey.height = 1 + Take<std::uint8_t>(input) % 96;
    fit::ChartSpace space;
    space.left = space.x0 = Take<std::int8_t>(input);
    space.top = Take<std::int8_t>(input);
    space.right = space.left + 1 + Take<std::uint8_t>(input);
    space.bottom = space.y0 = space.top + 1 + Take<std::uint8_t>(input);
    space.perVolt = (space.right - space.left) / 100.0;
    space.perAmp = (space.bottom - space.top) / 0.01;
    for (int i = 0; i < grey.width * grey.height; ++i) {
        grey.levels.push_back(input.empty() ? 255 : Take<std::uint8_t>(input));
    }
    for (const fit::PrintedTrace& trace : fit::DigitizeChart(grey, space).traces) {
        for (const fit::ChartPoint& point : trace.points) {
            Check(point.vp > 0 && point.vp < 100 && point.ip > 0 && point.ip < 0.01, "a point outside the frame");
        }
    }
    return 0;
}

// Any text a reader may return: a tick number and a curve label are finite when read,
// and every tick number reads as the same curve label, its sign told as written. The
// labels of its lines, in order, give a family through 0 V stepping down, or a reason, and
// each stands in it for at most what it reads (its minus or point mended). A point put back
// stands alone with as many digits after it as asked; as a legend's entries, the lines give
// a family through 0 V or none.
int LabelText(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<read::CurveLabel> lines;
    std::vector<read::FoundCurveLabel> entries;
    const int decimals = 1 + static_cast<int>(size % 3);
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        const std::string_view line = text.substr(from, end - from);
        if (auto read = read::CurveLabelValue(line)) {
            read->pointMayBeLost = read::PointMayBeLost(line);
            lines.push_back(*read);
            entries.push_back({{}, std::string(line), *read, 0, false});
        }
        if (const auto mended = read::WithPointPutBack(line, decimals))
            Check(mended->size() == line.size() + 1 && read::DecimalsShown(*mended) == decimals &&
                      std::count(mended->begin(), mended->end(), '.') == 1,
                  "a point put back elsewhere than asked");
        from = end + 1;
    }
    if (const auto legend = read::FamilyInOrder(entries))
        Check(legend->grids.grids && legend->grids.grids->mostNegative < legend->grids.grids->mostPositive &&
                  legend->grids.grids->mostPositive >= 0,
              "a legend's family out of order or not through 0 V");
    const read::GridVoltagesResult grids = read::GridVoltagesOf(lines, size % 3);
    Check(grids.grids.has_value() == grids.problem.empty(), "grid voltages with a problem, or neither");
    if (const auto& g = grids.grids) {
        Check(g->step > 0 && g->mostPositive >= 0 && g->mostNegative <= 0 && g->mostNegative < g->mostPositive &&
                  g->mended + g->setAside <= lines.size(),
              "a family out of order or not through 0 V");
        for (const read::CurveLabel& line : lines) {
            const double value = read::LabelValueIn(line, *g);
            Check(std::isfinite(value) && std::abs(value) <= std::abs(line.volts),
                  "a label standing for more than it reads");
        }
    }
    const std::optional<double> tick = read::TickValue(text);
    const std::optional<read::CurveLabel> label = read::CurveLabelValue(text);
    Check(!tick || std::isfinite(*tick), "a tick number that is not finite");
    Check(!label || std::isfinite(label->volts), "a curve label that is not finite");
    const std::string plain = read::PlainLabelText(text);
    const bool signed_ = !plain.empty() && (plain.front() == '-' || plain.front() == '+');
    // A tick number with a leading zero is the fraction whose point was lost ("05" 0.5); a
    // curve label reads its digits, and the family decides.
    const std::string digits = plain.substr(signed_ ? 1 : 0);
    const double lost = digits.size() > 1 && digits.front() == '0' && digits.find('.') == std::string::npos
                            ? std::pow(10.0, double(digits.size() - 1))
                            : 1.0;
    Check(!tick || (label && label->volts / lost == *tick && label->signWritten == signed_),
          "a tick number that reads otherwise as a curve label");
    return 0;
}

// Any picture of up to 128 x 128 pixels: a box found lies inside the picture, its edges in
// order, its lean within the two degrees looked at.
int PlotBox(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    GreyLevels grey;
    grey.width = 1 + Take<std::uint8_t>(input) % 128;
    grey.height = 1 + Take<std::uint8_t>(input) % 128;
    for (int i = 0; i < grey.width * grey.height; ++i) {
        grey.levels.push_back(input.empty() ? 255 : Take<std::uint8_t>(input));
    }
    const read::PlotBoxResult found = read::FindPlotBox(grey);
    Check(found.box.has_value() == found.problem.empty(), "a box with a problem, or neither");
    if (found.box) {
        const read::PlotBox& b = *found.box;
        Check(b.left >= 0 && b.left < b.right && b.right <= grey.width && b.top >= 0 && b.top < b.bottom &&
                  b.bottom <= grey.height && std::abs(b.tilt) <= 2.01,
              "a box outside the picture or out of order");
    }
    return 0;
}

// Any picture of up to 180 x 140 pixels with a box drawn in it (its margins from the input):
// reading it as a chart never fails hard; the labels it reads lie in the picture turned
// level, a family read runs through 0 V stepping down, and anything not read is said.
int ChartReading(const std::uint8_t* data, std::size_t size) {
    // Starting Tesseract takes far longer than a reading, so one reader serves the run.
    static read::TextReader reader;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    GreyLevels grey;
    grey.width = 40 + Take<std::uint8_t>(input) % 141;
    grey.height = 30 + Take<std::uint8_t>(input) % 111;
    const int left = 1 + Take<std::uint8_t>(input) % 16, top = 1 + Take<std::uint8_t>(input) % 16;
    const int right = grey.width - 2 - Take<std::uint8_t>(input) % 16;
    const int bottom = grey.height - 2 - Take<std::uint8_t>(input) % 16;
    for (int y = 0; y < grey.height; ++y) {
        for (int x = 0; x < grey.width; ++x) {
            const bool edge = ((x == left || x == right) && y >= top && y <= bottom) ||
                              ((y == top || y == bottom) && x >= left && x <= right);
            const auto level = input.empty() ? std::uint8_t{255} : Take<std::uint8_t>(input);
            grey.levels.push_back(edge ? 0 : level);
        }
    }
    const read::ChartReading reading = read::ReadChart(grey, reader);
    const bool allRead = reading.voltsFullscale && reading.ampsFullscale && reading.curveLabels.grids.grids;
    Check(allRead == reading.missing.empty(), "a value neither read nor said to be missing");
    for (const read::FoundCurveLabel& label : reading.curveLabels.labels) {
        Check(label.at.center.x >= 0 && label.at.center.x <= reading.levelled.width && label.at.center.y >= 0 &&
                  label.at.center.y <= reading.levelled.height,
              "a curve label outside the picture");
    }
    if (const auto& g = reading.curveLabels.grids.grids) {
        Check(g->step > 0 && g->mostPositive >= 0 && g->mostNegative < g->mostPositive,
              "a family out of order or not through 0 V");
    }
    return 0;
}

} // namespace valvix::fuzz

#if defined(VALVIX_FUZZ_TARGET)
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return valvix::fuzz::VALVIX_FUZZ_TARGET(data, size);
}
#endif
