#include "read/LabelMarks.h"

#include "fit/Spread.h"
#include "read/TextReader.h"

#include <opencv2/imgproc.hpp>

#include <array>
#include <vector>

namespace valvix::read {

namespace {

constexpr std::string_view kLabelCharacters = "0123456789-+.=VvGgEeCcOoLlTtSsUuKk";
// Tesseract reads a label's characters at this height.
constexpr double kReadHeight = 32;
// Readings Tesseract is less sure of than this are set aside.
constexpr int kLeastConfidence = 40;
// A group of marks thicker than this many character heights holds more than one line.
constexpr double kMostLineHeights = 1.8;
// A mark whose long side leans this many degrees or fewer may be level text, its smallest
// bounding box turned by a stray dot or italic letters.
constexpr double kNearlyLevel = 15;
// Characters this many pixels high or fewer are small print. In the smallest, a label's
// minus and point are lost so often that a lone digit is all that is read of many labels;
// in print a pixel larger, a lone character is more often a stub of curve.
constexpr double kSmallPrint = 9;
constexpr double kSmallestPrint = 8;
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

// The mark turned level (and then upside down too, for text that runs downward) and cut
// to its own size: the picture's own greys where its ink lies and a pixel around (so
// that small print keeps its smooth edges), paper elsewhere.
cv::Mat1b LevelledCrop(const Mark& mark, const cv::Mat1b& region, double turn) {
    cv::Mat1b near;
    cv::dilate(mark.ink, near, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    cv::Mat1b grey(region.size(), PaperAround(region, near, mark.at));
    region.copyTo(grey, near);
    const cv::Mat rotation = cv::getRotationMatrix2D(mark.at.center, turn, 1.0);
    cv::Mat1b turned;
    cv::Mat1b turnedInk;
    cv::warpAffine(grey, turned, rotation, grey.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, 255);
    cv::warpAffine(near, turnedInk, rotation, near.size(), cv::INTER_NEAREST, cv::BORDER_CONSTANT,
                   0);
    const cv::Rect inked = cv::boundingRect(turnedInk);
    if (inked.empty()) {
        return {};
    }
    return turned(inked).clone();
}

// The label a reading gives, if any. A label that names its grid is taken however unsure
// Tesseract says it is (it says 0 of many a clear reading of a turned label); a number
// alone, or a grid's name alone, must be sure. Small print (characters `height` high) may
// have lost a point.
std::optional<FoundCurveLabel> LabelOfReading(const TextReader::Reading& read,
                                              const cv::RotatedRect& at, double height) {
    auto label = CurveLabelValue(read.text);
    if (label && (label->gridNamed || read.confidence >= kLeastConfidence)) {
        label->pointMayBeLost = height <= kSmallPrint && PointMayBeLost(read.text);
        return FoundCurveLabel{at, read.text, *label, read.confidence, false};
    }
    if (read.confidence >= kLeastConfidence && IsGridNameAlone(read.text)) {
        return FoundCurveLabel{at, read.text, {}, read.confidence, true};
    }
    return std::nullopt;
}

// Of two readings of one mark, the one that gives a number, then the surer.
std::optional<FoundCurveLabel> Surer(std::optional<FoundCurveLabel> a,
                                     std::optional<FoundCurveLabel> b) {
    if (!a || !b) {
        return a ? a : b;
    }
    if (a->numberLost != b->numberLost) {
        return a->numberLost ? b : a;
    }
    return b->confidence > a->confidence ? b : a;
}

// A level mark as printed: the picture's rectangle around its ink, a pixel wider each way.
cv::Mat1b PlainCrop(const Mark& mark, const cv::Mat1b& region) {
    const cv::Rect inked = cv::boundingRect(mark.ink);
    return region(cv::Rect(inked.x - 1, inked.y - 1, inked.width + 2, inked.height + 2) &
                  cv::Rect(0, 0, region.cols, region.rows))
        .clone();
}

} // namespace

bool IsOneTextLine(const cv::RotatedRect& at, double height) {
    return std::min(at.size.width, at.size.height) <= kMostLineHeights * height;
}

std::optional<FoundCurveLabel> ReadMark(const Mark& mark, const cv::Mat1b& region, double height,
                                        TextReader& reader) {
    if (!IsOneTextLine(mark.at, height)) {
        return std::nullopt; // read as one, labels a line apart would stand for one curve
    }
    const double turn = LevellingTurn(mark.at);
    std::optional<FoundCurveLabel> found;
    for (const double flip : {0.0, 180.0}) {
        if (found || (flip != 0 && turn == 0)) {
            break;
        }
        const cv::Mat1b crop = LevelledCrop(mark, region, turn + flip);
        if (crop.empty()) {
            break;
        }
        found = LabelOfReading(reader.readLine(crop, height, kReadHeight, kLabelCharacters),
                               mark.at, height);
    }
    if (!found && turn != 0 && std::abs(turn) <= kNearlyLevel) {
        const cv::Mat1b crop = LevelledCrop(mark, region, 0);
        if (!crop.empty()) {
            found = LabelOfReading(reader.readLine(crop, height, kReadHeight, kLabelCharacters),
                                   mark.at, height);
        }
    }
    // Small print loses its points and minus signs to the mask and the smoothing: a level
    // mark is read again as printed, and the better reading kept. A lone character that
    // only these readings give is taken in the smallest print alone.
    if (turn == 0 && height <= kSmallPrint) {
        const cv::Mat1b plain = PlainCrop(mark, region);
        const bool loneTaken = found.has_value() || height <= kSmallestPrint;
        for (const double scale : kSmallPrintScales) {
            auto again = LabelOfReading(
                reader.readLine(plain, height, scale * height, kLabelCharacters, false), mark.at,
                height);
            if (loneTaken || (again && again->text.size() >= 2)) {
                found = Surer(found, again);
            }
        }
    }
    return found;
}

} // namespace valvix::read
