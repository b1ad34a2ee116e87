#include "read/LabelMarks.h"

#include "fit/Spread.h"
#include "read/TextReader.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <vector>

namespace valvix::read {

namespace {

constexpr std::string_view kLabelCharacters = "0123456789-+.=VvGgEeCcOoLlTtSsUuKk";
// Tesseract reads a label's characters at this height.
constexpr double kReadHeight = 32;
// Readings Tesseract is less sure of than this are set aside.
constexpr int kLeastConfidence = 40;
// A legend's entry is taken however unsure Tesseract says it is (it says 0 of many a clear
// reading), as a label that names its grid is: its column must read whole, in even steps.
constexpr int kLeastConfidenceInALegend = 0;
// A group of marks thicker than this many character heights holds more than one line.
constexpr double kMostLineHeights = 1.8;
// A mark whose long side leans this many degrees or fewer may be level text, its smallest
// bounding box turned by a stray dot or italic letters.
constexpr double kNearlyLevel = 15;
// Turned text is drawn this many times as large as it is turned.
constexpr double kTurnedScale = 3;
// A label read along its curve lies within this many degrees of the curve's slope, where its
// ink is long enough to show a slope of its own.
constexpr double kAlongSlack = 30;
// Characters this many pixels high or fewer are small print. In the smallest, a label's
// minus and point are lost so often that a lone digit is all that is read of many labels;
// in print a pixel larger, a lone character is more often a stub of curve.
constexpr double kSmallPrint = 9;
constexpr double kSmallestPrint = 8;
// A decimal point in print up to this many pixels high is a pixel or two across, and is
// lost as often as kept ("Vg = -1.5 V" reads "Vg=-15V" at 10 and at 12 px).
constexpr double kPointsLostPrint = 12;
// Small print is read as printed at these multiples of its height, the surest taken: each
// loses a point or minus sign the others keep.
constexpr std::array<double, 3> kSmallPrintScales{4.5, 5, 6};

// The turn, in degrees, that sets a mark's text level: none for a short mark, else the
// angle of its long side, between -90 and 90.
double LevellingTurn(const cv::RotatedRect& at) {
    if (std::max(at.size.width, at.size.height) < 2 * std::min(at.size.width, at.size.height)) {
        return 0;
    }
    double angle = at.size.width >= at.size.height ? at.angle : at.angle + 90;
    while (angle > 90) {
        angle -= 180;
    }
    while (angle <= -90) {
        angle += 180;
    }
    return angle;
}

// The paper's grey around a mark: the median of what lies in its bounds outside its ink,
// so that the crop's paper and the ink's smooth edges keep their tones.
std::uint8_t PaperAround(const cv::Mat1b& region, const cv::Mat1b& near,
                         const cv::RotatedRect& at) {
    const cv::Rect bounds = at.boundingRect() & cv::Rect(0, 0, region.cols, region.rows);
    std::vector<double> paper;
    for (int y = bounds.y; y < bounds.y + bounds.height; ++y) {
        for (int x = bounds.x; x < bounds.x + bounds.width; ++x) {
            if (near(y, x) == 0) {
                paper.push_back(region(y, x));
            }
        }
    }
    return paper.empty() ? 255 : static_cast<std::uint8_t>(fit::Median(std::move(paper)));
}

// A mark's text turned level and cut to its own size, drawn `scale` times as large.
struct LevelledText {
    cv::Mat1b crop;
    double scale = 1;
};

// The mark turned level (and then upside down too, for text that runs downward) and cut
// to its own size: the picture's own greys where its ink lies and a pixel around (so
// that small print keeps its smooth edges), paper elsewhere. Turned text is drawn larger
// as it is turned, so that its strokes keep their shapes.
LevelledText LevelledCrop(const Mark& mark, const cv::Mat1b& region, double turn, double scale) {
    cv::Mat1b near;
    cv::dilate(mark.ink, near, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    cv::Mat1b grey(region.size(), PaperAround(region, near, mark.at));
    region.copyTo(grey, near);
    const cv::Rect bounds = cv::boundingRect(near);
    double reach = 2; // how far the ink reaches from the mark's centre, every way
    for (const cv::Point corner : {bounds.tl(), bounds.br(), cv::Point(bounds.x, bounds.br().y),
                                   cv::Point(bounds.br().x, bounds.y)}) {
        reach = std::max(reach, cv::norm(cv::Point2f(corner) - mark.at.center) + 2);
    }
    LevelledText text;
    text.scale = scale;
    cv::Mat rotation = cv::getRotationMatrix2D(mark.at.center, turn, text.scale);
    rotation.at<double>(0, 2) += std::round(reach * text.scale - mark.at.center.x);
    rotation.at<double>(1, 2) += std::round(reach * text.scale - mark.at.center.y);
    const int side = static_cast<int>(std::ceil(2 * reach * text.scale));
    cv::Mat1b turned;
    cv::Mat1b turnedInk;
    cv::warpAffine(grey, turned, rotation, {side, side},
                   turn == 0 ? cv::INTER_LINEAR : cv::INTER_CUBIC, cv::BORDER_CONSTANT, 255);
    cv::warpAffine(near, turnedInk, rotation, {side, side}, cv::INTER_NEAREST, cv::BORDER_CONSTANT,
                   0);
    const cv::Rect inked = cv::boundingRect(turnedInk);
    if (!inked.empty()) {
        text.crop = turned(inked).clone();
    }
    return text;
}

// Whether a label was read whole, with its unit or its grid's name and '='. (A stray mark
// read with its strokes thinned may give a lone digit or two, not that.)
bool WholeLabel(std::string_view text, const CurveLabel& label) {
    const std::string plain = PlainLabelText(text);
    return plain.ends_with('V') || plain.find('=') != std::string::npos || label.gridNamed;
}

// The label a reading gives, if any. A label that names its grid is taken however unsure
// Tesseract says it is (it says 0 of many a clear reading of a turned label); a number
// alone, or a grid's name alone, must be sure. Small print (characters `height` high) may
// have lost a point.
std::optional<FoundCurveLabel> LabelOfReading(const TextReader::Reading& read,
                                              const cv::RotatedRect& at, double height,
                                              int leastConfidence = kLeastConfidence) {
    auto label = CurveLabelValue(read.text);
    if (label && read.thinned && !WholeLabel(read.text, *label)) {
        return std::nullopt;
    }
    if (label && (label->gridNamed || read.confidence >= leastConfidence)) {
        label->pointMayBeLost = height <= kPointsLostPrint && PointMayBeLost(read.text);
        return FoundCurveLabel{at, read.text, *label, read.confidence, false};
    }
    if (read.confidence >= kLeastConfidence && IsGridNameAlone(read.text)) {
        return FoundCurveLabel{at, read.text, {}, read.confidence, true};
    }
    return std::nullopt;
}

// Of a mark's readings: the one that gives a number, then the surer, then the one most of
// the others agree with (Tesseract says 0 of many a small reading, right or wrong), then
// the first.
std::optional<FoundCurveLabel> Surest(const std::vector<FoundCurveLabel>& readings) {
    const auto agreeing = [&](const FoundCurveLabel& reading) {
        return std::count_if(readings.begin(), readings.end(), [&](const FoundCurveLabel& other) {
            return other.text == reading.text;
        });
    };
    const auto rank = [&](const FoundCurveLabel& reading) {
        return std::tuple(!reading.numberLost, reading.confidence, agreeing(reading));
    };
    std::optional<FoundCurveLabel> surest;
    for (const FoundCurveLabel& reading : readings) {
        if (!surest || rank(reading) > rank(*surest)) {
            surest = reading;
        }
    }
    return surest;
}

// A level mark as printed: the picture's rectangle around its ink, a pixel wider each way.
cv::Mat1b PlainCrop(const Mark& mark, const cv::Mat1b& region) {
    const cv::Rect inked = cv::boundingRect(mark.ink);
    return region(cv::Rect(inked.x - 1, inked.y - 1, inked.width + 2, inked.height + 2) &
                  cv::Rect(0, 0, region.cols, region.rows))
        .clone();
}

// Small print loses its points and minus signs to the mask and the smoothing: a level
// mark is read again as printed, and the better reading kept. A lone character that only
// these readings give is taken in the smallest print alone.
std::optional<FoundCurveLabel> ReadSmallPrintAgain(const Mark& mark, const cv::Mat1b& region,
                                                   double height, TextReader& reader,
                                                   std::optional<FoundCurveLabel> found) {
    const cv::Mat1b plain = PlainCrop(mark, region);
    const bool loneTaken = found.has_value() || height <= kSmallestPrint;
    std::vector<FoundCurveLabel> readings;
    if (found) {
        readings.push_back(*found);
    }
    for (const double scale : kSmallPrintScales) {
        auto again = LabelOfReading(
            reader.readLine(plain, height, scale * height, kLabelCharacters, false, true), mark.at,
            height);
        if (again && (loneTaken || again->text.size() >= 2)) {
            readings.push_back(*again);
        }
    }
    return Surest(readings);
}

// How a mark is read: turned by `turn` degrees and drawn `scale` times as large, a number
// alone taken from `leastConfidence` on, a lone character taken only where `loneTaken`.
struct TurnedReading {
    double turn = 0;
    double scale = 1;
    int leastConfidence = kLeastConfidence;
    bool loneTaken = true;
};

std::optional<FoundCurveLabel> ReadTurned(const Mark& mark, const cv::Mat1b& region, double height,
                                          const TurnedReading& how, TextReader& reader) {
    const LevelledText text = LevelledCrop(mark, region, how.turn, how.scale);
    if (text.crop.empty()) {
        return std::nullopt;
    }
    const TextReader::Reading read =
        reader.readLine(text.crop, text.scale * height, kReadHeight, kLabelCharacters);
    return how.loneTaken || read.text.size() >= 2
               ? LabelOfReading(read, mark.at, height, how.leastConfidence)
               : std::nullopt;
}

} // namespace

bool IsOneTextLine(const cv::RotatedRect& at, double height) {
    return std::min(at.size.width, at.size.height) <= kMostLineHeights * height;
}

std::optional<FoundCurveLabel> ReadMark(const Mark& mark, const cv::Mat1b& region, double height,
                                        TextReader& reader, bool inALegend) {
    if (!IsOneTextLine(mark.at, height)) {
        return std::nullopt; // read as one, labels a line apart would stand for one curve
    }
    const double turn = LevellingTurn(mark.at);
    const int least = inALegend ? kLeastConfidenceInALegend : kLeastConfidence;
    // Turned text is read drawn three times as large, then as printed where that gives no
    // label. A mark long enough to be turned holds more than one character: a lone one read
    // from it is a stroke of curve.
    const auto readTurned = [&](double by, double scale) {
        return ReadTurned(mark, region, height, {by, scale, least, turn == 0}, reader);
    };
    std::optional<FoundCurveLabel> found = readTurned(turn, turn == 0 ? 1.0 : kTurnedScale);
    if (!found && turn != 0) {
        found = readTurned(turn, 1);
    }
    if (!found && turn != 0) {
        found = readTurned(turn + 180, kTurnedScale);
    }
    if (!found && turn != 0 && std::abs(turn) <= kNearlyLevel) {
        found = readTurned(0, 1);
    }
    if (turn == 0 && height <= kSmallPrint) {
        found = ReadSmallPrintAgain(mark, region, height, reader, found);
    }
    return found;
}

std::optional<FoundCurveLabel> ReadEntryAsPrinted(const cv::Rect& line, const cv::Mat1b& region,
                                                  double height, TextReader& reader) {
    const cv::Rect inside = cv::Rect(line.x - 1, line.y - 1, line.width + 2, line.height + 2) &
                            cv::Rect(0, 0, region.cols, region.rows);
    if (inside.empty()) {
        return std::nullopt;
    }
    const cv::Point2f middle(float(inside.x + inside.width / 2.0),
                             float(inside.y + inside.height / 2.0));
    return LabelOfReading(
        reader.readLine(region(inside), height, kReadHeight, kLabelCharacters, false),
        cv::RotatedRect(middle, cv::Size2f(inside.size()), 0), height, kLeastConfidenceInALegend);
}

std::optional<FoundCurveLabel> ReadMarkAlong(const Mark& mark, const cv::Mat1b& region,
                                             double height, double turn, TextReader& reader) {
    if (!IsOneTextLine(mark.at, height)) {
        return std::nullopt;
    }
    const double own = LevellingTurn(mark.at);
    const double apart = std::fmod(std::abs(own - turn), 180.0);
    if (own != 0 && std::min(apart, 180 - apart) > kAlongSlack) {
        return std::nullopt; // long, and lying across the curve: not its label
    }
    std::optional<FoundCurveLabel> found =
        ReadTurned(mark, region, height, {turn, kTurnedScale, kLeastConfidence, true}, reader);
    if (!found) {
        found = ReadTurned(mark, region, height, {turn, 1, kLeastConfidence, true}, reader);
    }
    return found;
}

} // namespace valvix::read
