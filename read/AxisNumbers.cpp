#include "read/AxisNumbers.h"

#include "fit/Spread.h"
#include "fit/StrokeMask.h"
#include "read/LabelText.h"
#include "read/TextReader.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace valvix::read {

namespace {

constexpr std::string_view kNumberCharacters = "0123456789.-";
// Each number is read with its digits this many pixels high.
constexpr std::array<double, 2> kReadHeights{28, 40};
// Digits this many pixels high or fewer are small print, read again as printed (unsmoothed)
// at these heights too: each loses a different digit to the smoothing and scaling.
constexpr double kSmallPrint = 9;
constexpr std::array<double, 3> kSmallPrintReadHeights{32, 36, 44};
// The largest plate current full scale taken as printed in amperes.
constexpr double kMostAmps = 2;
// The numbers stand within this share of the box's height below it, and of its width left
// of it.
constexpr double kBelowShare = 0.12;
constexpr double kLeftShare = 0.2;

// A tick mark is at least this many pixels long, and at most this share of the number it is joined
// to thick.
constexpr int kShortestTick = 3;
constexpr double kTickShare = 0.5;

// A piece of ink in a region: its bounding box in the region's pixels.
using Piece = cv::Rect;

// The ink of a crop of the chart: what is darker than its paper by Otsu's threshold.
cv::Mat1b InkOf(const cv::Mat1b& grey) {
    cv::Mat1b ink;
    cv::threshold(fit::DarknessAgainstPaper(grey), ink, 0, 255,
                  cv::THRESH_BINARY | cv::THRESH_OTSU);
    return ink;
}

bool IsLine(const Piece& piece) {
    return piece.width > 8 * piece.height || piece.height > 8 * piece.width;
}

bool OneRun(const cv::Mat1b& row) {
    std::vector<cv::Point> inked;
    cv::findNonZero(row, inked);
    return !inked.empty() && inked.back().x - inked.front().x + 1 == static_cast<int>(inked.size());
}

// How many rows of a piece of ink (`along`, its first row next to the box) are a tick
// mark: one run of ink in each, no thicker than along its first pixels (not the
// sides of a character cut off by the area's edge). None where its first pixels are thicker
// than `thickest`.
int TickRows(const cv::Mat1b& along, double thickest) {
    int thickness = 0;
    for (int row = 0; row < std::min(kShortestTick, along.rows); ++row) {
        thickness = std::max(thickness, cv::countNonZero(along.row(row)));
    }
    if (thickness > thickest) {
        return 0;
    }
    int tick = 0;
    while (tick < along.rows && cv::countNonZero(along.row(tick)) <= thickness &&
           OneRun(along.row(tick))) {
        ++tick;
    }
    return tick;
}

// A piece of ink (`ink`, at `piece`) that touches the box's side, its tick mark cut off: a
// soft scan joins a tick to the number it stands at. Nothing where it has no tick (a line
// along the box, a character against it), or is all tick.
std::optional<Piece> WithoutTick(const cv::Mat1b& ink, bool touchingTop, const Piece& piece) {
    cv::Mat1b along = ink; // its first row next to the box
    if (!touchingTop) {
        cv::flip(ink.t(), along, 0);
    }
    const int tick = TickRows(along, kTickShare * (touchingTop ? piece.width : piece.height));
    const cv::Rect rest = touchingTop ? cv::Rect(0, tick, ink.cols, ink.rows - tick)
                                      : cv::Rect(0, 0, ink.cols - tick, ink.rows);
    if (tick < kShortestTick || cv::countNonZero(ink(rest)) == 0) {
        return std::nullopt;
    }
    return cv::boundingRect(ink(rest)) + rest.tl() + piece.tl();
}

// The pieces of ink of a region that may be characters: not long lines, and not tick marks
// (touching the side next to the box, or a line along it). A tick joined to a number, as on
// a soft scan, is cut off it.
std::vector<Piece> Characters(const cv::Mat1b& grey, bool touchingTop) {
    cv::Mat1b ink = InkOf(grey);
    // Lines along the box (its edge's halo on a soft scan) hold no characters.
    const cv::Size along = touchingTop ? cv::Size(std::max(20, grey.cols / 4), 1)
                                       : cv::Size(1, std::max(20, grey.rows / 4));
    cv::Mat1b lines;
    cv::morphologyEx(ink, lines, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, along));
    ink.setTo(0, lines);
    cv::dilate(lines, lines, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    cv::Mat1i labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(ink, labels, stats, centroids, 8);
    std::vector<Piece> pieces;
    for (int i = 1; i < count; ++i) {
        const Piece piece(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                          stats.at<int>(i, cv::CC_STAT_WIDTH),
                          stats.at<int>(i, cv::CC_STAT_HEIGHT));
        const cv::Mat1b pieceInk = labels(piece) == i;
        const bool atBox = (touchingTop ? piece.y == 0 : piece.x + piece.width >= grey.cols) ||
                           cv::countNonZero(pieceInk & lines(piece)) > 0;
        const std::optional<Piece> character =
            atBox ? WithoutTick(pieceInk, touchingTop, piece) : piece;
        if (character && !IsLine(*character) && character->height >= 4 && character->area() >= 6) {
            pieces.push_back(*character);
        }
    }
    return pieces;
}

double MedianHeight(const std::vector<Piece>& pieces) {
    std::vector<double> heights;
    heights.reserve(pieces.size());
    for (const Piece& piece : pieces) {
        heights.push_back(piece.height);
    }
    return fit::Median(std::move(heights));
}

// Pieces in one text line: their vertical middles within half a character of the first's.
std::vector<std::vector<Piece>> TextLines(std::vector<Piece> pieces, double height) {
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
        return a.y + a.height / 2.0 < b.y + b.height / 2.0;
    });
    std::vector<std::vector<Piece>> lines;
    for (const Piece& piece : pieces) {
        const double middle = piece.y + piece.height / 2.0;
        if (lines.empty() ||
            middle - (lines.back().front().y + lines.back().front().height / 2.0) > height / 2) {
            lines.emplace_back();
        }
        lines.back().push_back(piece);
    }
    return lines;
}

// The words of a line: pieces closer than a character's height joined, left to right.
std::vector<cv::Rect> Words(std::vector<Piece> line, double height) {
    std::sort(line.begin(), line.end(), [](const Piece& a, const Piece& b) { return a.x < b.x; });
    std::vector<cv::Rect> words;
    for (const Piece& piece : line) {
        if (!words.empty() && piece.x - (words.back().x + words.back().width) < 0.8 * height) {
            words.back() |= piece;
        } else {
            words.push_back(piece);
        }
    }
    return words;
}

// The paper's grey in a crop that is mostly paper.
std::uint8_t PaperOf(const cv::Mat1b& crop) {
    std::vector<double> greys(crop.begin(), crop.end());
    return static_cast<std::uint8_t>(fit::Median(std::move(greys)));
}

// A word's crop (the word at `word` in it) with the pieces of ink in its margin that have
// none of their ink in the word's rectangle painted as paper, if there are any: a tick mark
// above the word, or a stray below it, on a soft scan lies close enough to be read as a
// character.
std::optional<cv::Mat1b> WithoutStrays(const cv::Mat1b& padded, const cv::Rect& word) {
    const cv::Mat1b ink = InkOf(padded);
    cv::Mat1i pieces;
    const int count = cv::connectedComponents(ink, pieces, 8);
    std::vector<bool> inWord(static_cast<std::size_t>(count), false);
    for (int y = 0; y < ink.rows; ++y) {
        for (int x = 0; x < ink.cols; ++x) {
            inWord[static_cast<std::size_t>(pieces(y, x))] =
                inWord[static_cast<std::size_t>(pieces(y, x))] || word.contains({x, y});
        }
    }
    cv::Mat1b stray(ink.size(), 0);
    stray.forEach([&](std::uint8_t& pixel, const int* at) {
        const int piece = pieces(at[0], at[1]);
        pixel = piece != 0 && !inWord[static_cast<std::size_t>(piece)] ? 255 : 0;
    });
    if (cv::countNonZero(stray) == 0) {
        return std::nullopt;
    }
    cv::dilate(stray, stray, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    cv::Mat1b crop = padded.clone();
    crop.setTo(PaperOf(padded), stray);
    return crop;
}

ReadNumber ReadWord(const cv::Mat1b& region, cv::Point offset, const cv::Rect& word, double height,
                    TextReader& reader) {
    const int pad = std::max(2, int(height / 4));
    const cv::Rect padded = (word + cv::Size(2 * pad, 2 * pad) - cv::Point(pad, pad)) &
                            cv::Rect(0, 0, region.cols, region.rows);
    // Left as printed where it has no strays: its smoothing takes in the ink around it.
    const cv::Mat1b crop =
        WithoutStrays(region(padded), word - padded.tl()).value_or(cv::Mat1b(region(padded)));
    ReadNumber number;
    number.at = cv::Rect2d(word.x + offset.x, word.y + offset.y, word.width, word.height);
    const auto readAt = [&](double readHeight, bool smooth) {
        const std::string text =
            reader.readLine(crop, height, readHeight, kNumberCharacters, smooth).text;
        number.text = number.text.empty() ? text : number.text;
        const std::optional<double> value = TickValue(text);
        if (value &&
            std::find(number.values.begin(), number.values.end(), *value) == number.values.end()) {
            number.values.push_back(*value);
        }
    };
    for (const double readHeight : kReadHeights) {
        readAt(readHeight, true);
    }
    if (height <= kSmallPrint) {
        for (const double readHeight : kSmallPrintReadHeights) {
            readAt(readHeight, false);
        }
    }
    return number;
}

// The region below the box where the plate voltage numbers stand, a little wider than it.
cv::Rect BelowArea(const cv::Mat1b& level, const PlotBox& box) {
    const double wider = 0.06 * (box.right - box.left);
    const int from = int(box.left - wider);
    return cv::Rect(from, int(std::ceil(box.bottom + 1)), int(box.right + wider) - from,
                    int(kBelowShare * (box.bottom - box.top))) &
           cv::Rect(0, 0, level.cols, level.rows);
}

// The region left of the box where the plate current numbers stand, a little taller.
cv::Rect LeftArea(const cv::Mat1b& level, const PlotBox& box) {
    const int right = int(std::floor(box.left - 1));
    const int width = int(kLeftShare * (box.right - box.left));
    const int margin = int(0.04 * (box.bottom - box.top));
    return cv::Rect(right - width, int(box.top) - margin, width,
                    int(box.bottom - box.top) + 2 * margin) &
           cv::Rect(0, 0, level.cols, level.rows);
}

// The words of a region that are axis numbers: below the box, the row of text nearest
// it; left of it, the word of each line nearest the box, numbers standing right-aligned
// against it.
std::vector<cv::Rect> NumberWords(const std::vector<Piece>& pieces, double height, bool below) {
    const auto lines = TextLines(pieces, height);
    if (below) {
        return Words(lines.front(), height);
    }
    std::vector<cv::Rect> nearest;
    nearest.reserve(lines.size());
    for (const auto& line : lines) {
        nearest.push_back(Words(line, height).back());
    }
    const cv::Rect rightmost =
        *std::max_element(nearest.begin(), nearest.end(),
                          [](const cv::Rect& a, const cv::Rect& b) { return a.br().x < b.br().x; });
    // The numbers' column: the words side by side with the rightmost. A word wholly left of
    // it (a letter of the axis's title, turned) is no number.
    std::optional<int> column; // its left edge, where another word stands beside the rightmost
    for (const cv::Rect& word : nearest) {
        if (word != rightmost && word.br().x > rightmost.x) {
            column = std::min(column.value_or(rightmost.x), word.x);
        }
    }
    std::erase_if(nearest, [&](const cv::Rect& word) {
        return word.br().x < rightmost.br().x - 2 * height || (column && word.br().x <= *column);
    });
    return nearest;
}

std::vector<ReadNumber> ReadNumbers(const cv::Mat1b& level, const cv::Rect& area, bool below,
                                    TextReader& reader) {
    std::vector<ReadNumber> numbers;
    if (area.area() == 0) {
        return numbers;
    }
    const cv::Mat1b region = level(area);
    const std::vector<Piece> pieces = Characters(region, below);
    if (pieces.empty()) {
        return numbers;
    }
    const double height = MedianHeight(pieces);
    for (const cv::Rect& word : NumberWords(pieces, height, below)) {
        numbers.push_back(ReadWord(region, area.tl(), word, height, reader));
    }
    return numbers;
}

AxisScaleResult ScaleOf(const std::vector<ReadNumber>& numbers, bool across) {
    std::vector<AxisLabel> labels;
    for (const ReadNumber& number : numbers) {
        const cv::Point2d middle = (number.at.tl() + number.at.br()) * 0.5;
        for (const double value : number.values) {
            labels.push_back({across ? middle.x : middle.y, value});
        }
    }
    return FitAxisScale(labels);
}

} // namespace

PlateCurrent PlateCurrentOf(double printedFullScale) {
    const bool milliamps = printedFullScale > kMostAmps;
    return {milliamps ? printedFullScale / 1000 : printedFullScale, milliamps};
}

AxisNumbers ReadAxisNumbers(const cv::Mat1b& level, const PlotBox& box, TextReader& reader) {
    AxisNumbers numbers;
    numbers.below = ReadNumbers(level, BelowArea(level, box), true, reader);
    numbers.left = ReadNumbers(level, LeftArea(level, box), false, reader);
    numbers.volts = ScaleOf(numbers.below, true);
    numbers.amps = ScaleOf(numbers.left, false);
    return numbers;
}

} // namespace valvix::read
