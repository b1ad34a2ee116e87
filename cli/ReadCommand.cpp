// valvix-cli read: a design from a chart picture alone. The plot box, the full scales and
// the grid voltages are read from the picture; what cannot be read is said, and left for the user.

#include "cli/Commands.h"
#include "cli/FileProblems.h"

#include "platform/DesktopServices.h"
#include "read/ChartReader.h"
#include "read/TextReader.h"
#include "state/DesignFile.h"

#include <array>
#include <cmath>
#include <iomanip>
#include <ostream>
#include <sstream>

namespace valvix::cli {

namespace {

constexpr std::array<std::string_view, 2> kValueOptions{"--picture", "--out"};
// A lean the user is told to straighten: about a pixel across a 1000-pixel chart.
constexpr double kNoticeableLean = 0.05;

std::string Fixed(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}

// What was read, one line a value, with how it was read.
void Report(const read::ChartReading& reading, std::ostream& out) {
    const read::PlotBox& box = *reading.box;
    out << "Plot box: " << Fixed(box.left, 1) << " to " << Fixed(box.right, 1) << " across, "
        << Fixed(box.top, 1) << " to " << Fixed(box.bottom, 1)
        << " down (picture pixels, the picture turned level by " << Fixed(box.tilt, 2)
        << " degrees).\n";
    if (std::abs(box.tilt) >= kNoticeableLean) {
        out << "The picture leans " << Fixed(box.tilt, 2)
            << " degrees: the frame lies on the axes once the picture is turned level, so "
               "straighten it in the Initialize window (\"Straighten\", then click the x "
               "axis near both ends).\n";
    }
    if (reading.voltsFullscale) {
        out << "Plate voltage full scale: " << *reading.voltsFullscale << " V, from "
            << reading.numbers.volts.scale->used << " of " << reading.numbers.below.size()
            << " numbers read below the box.\n";
    }
    if (reading.ampsFullscale) {
        out << "Plate current full scale: " << *reading.ampsFullscale << " A, from "
            << reading.numbers.amps.scale->used << " of " << reading.numbers.left.size()
            << " numbers read left of the box, numbered in "
            << (reading.ampsInMilliamps ? "mA" : "A")
            << (reading.ampsUnitFromTitle ? " as the axis title says" : " by their size") << ".\n";
    }
    if (const auto& grids = reading.curveLabels.grids.grids) {
        const read::CurveLabels& labels = reading.curveLabels;
        out << "Grid voltages: " << grids->mostPositive << " V to " << grids->mostNegative
            << " V in steps of " << grids->step << " V, from "
            << labels.labels.size() - grids->setAside << " of " << labels.labels.size()
            << " curve labels read";
        if (grids->mended > 0) {
            out << " (" << grids->mended << " read without the minus or point they must have)";
        }
        out << ".\n";
    }
    for (const std::string& remark : reading.remarks) {
        out << remark << '\n';
    }
    for (const std::string& missing : reading.missing) {
        out << missing << '\n';
    }
}

} // namespace

int RunRead(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const Options options = ParseOptions(arguments, kValueOptions);
    if (const std::string problem =
            FilesProblem(options, kValueOptions, "--picture and --out must name files.");
        !problem.empty()) {
        PrintMisuse("read", problem, err);
        return kMisused;
    }
    const std::string picturePath = *options.value("--picture");
    Design design;
    std::shared_ptr<const Picture> picture;
    if (const std::string problem = ReadCommandPicture(picturePath, design, picture);
        !problem.empty()) {
        err << "read: " << problem << '\n';
        return kFailed;
    }
    read::TextReader reader;
    const read::ChartReading reading = read::ReadChart(picture->grey(), picture->ink(), reader);
    if (!reading.box) {
        err << "read: " << picturePath << ": " << reading.missing.front() << '\n';
        return kFailed;
    }
    read::ApplyReading(reading, picture->width(), picture->height(), design);
    const std::string outPath = *options.value("--out");
    const FileResult written = WriteDesignFile(outPath, design, DesktopServices().dateTimeText());
    if (!written.ok) {
        err << "read: " << OutputProblem("--out", outPath, written.message) << '\n';
        return kFailed;
    }
    Report(reading, out);
    out << "Wrote " << outPath << ".\n";
    return reading.missing.empty() ? kDone : kFailed;
}

} // namespace valvix::cli
