#include "read/AxisTitle.h"

#include "fit/StrokeMask.h"
#include "read/LabelText.h"
#include "read/TextReader.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cctype>

namespace valvix::read {

namespace {

constexpr std::string_view kTitleCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz()[]";
constexpr double kReadHeight = 32;

bool HasWord(const std::string& text, std::string_view word) {
    return text.find(word) != std::string::npos;
}

} // namespace

std::optional<bool> TitleInMilliamps(std::string_view title) {
    std::string text;
    for (const char c : title) {
        text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    // Small print loses letters: any trace of "MILLI" is taken for it.
    if (HasWord(text, "MILL") || HasWord(text, "LLIA") || HasWord(text, "(MA)") ||
        HasWord(text, "[MA]") || text.ends_with(" MA")) {
        return true;
    }
    const std::size_t ampere = text.find("AMPERE");
    const bool plainAmperes =
        ampere != std::string::npos &&
        (ampere == 0 || !std::isalpha(static_cast<unsigned char>(text[ampere - 1])) ||
         text.substr(0, ampere).ends_with("PLATE"));
    if (plainAmperes || HasWord(text, "(A)") || HasWord(text, "[A]") || text.ends_with(" A")) {
        return false;
    }
    return std::nullopt;
}

std::optional<bool> CurrentTitleInMilliamps(const cv::Mat1b& level, const PlotBox& box,
                                            const AxisNumbers& numbers, TextReader& reader) {
    double right = box.left;
    for (const ReadNumber& number : numbers.left) {
        right = std::min(right, number.at.x);
    }
    const cv::Rect area =
        cv::Rect(cv::Point(0, static_cast<int>(box.top)),
                 cv::Point(static_cast<int>(right) - 2, static_cast<int>(box.bottom))) &
        cv::Rect(0, 0, level.cols, level.rows);
    if (area.width < 4 || area.height < 20) {
        return std::nullopt;
    }
    cv::Mat1b ink;
    cv::threshold(fit::DarknessAgainstPaper(level(area)), ink, 0, 255,
                  cv::THRESH_BINARY | cv::THRESH_OTSU);
    const cv::Rect inked = cv::boundingRect(ink);
    if (inked.width < 4 || inked.height < 3 * inked.width) {
        return std::nullopt; // no upright line of text
    }
    cv::Mat1b upright;
    cv::rotate(level(area)(inked), upright, cv::ROTATE_90_CLOCKWISE);
    const TextReader::Reading read =
        reader.readLine(upright, 0.75 * inked.width, kReadHeight, kTitleCharacters);
    return TitleInMilliamps(read.text);
}

} // namespace valvix::read
