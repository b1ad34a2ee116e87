#include "state/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

// Every conversion here goes through std::to_chars and std::from_chars, which never
// consult the C or C++ locale: the texts always use the period, whatever the user's
// locale says.

namespace valvix {

namespace {

constexpr int kSingleDigits = 7;

// A non-negative decimal number d1.d2d3... x 10^exponent; digits has no trailing zeros
// unless it is the single digit "0".
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};

// Parses the scientific text of std::to_chars ("1.2345e-05") into digits and exponent.
DecimalDigits SplitScientific(const char* first, const char* last) {
    DecimalDigits decimal;
    const char* e = std::find(first, last, 'e');
    for (const char* p = first; p != e; ++p) {
        if (*p != '.') {
            decimal.digits.push_back(*p);
        }
    }
    const char* exponentText = e + 1;
    if (exponentText != last && *exponentText == '+') {
        ++exponentText; // from_chars takes no plus sign
    }
    std::from_chars(exponentText, last, decimal.exponent);
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0') {
        decimal.digits.pop_back();
    }
    return decimal;
}

// The digits of a positive finite Single rounded to `significant` digits.
DecimalDigits RoundedDigits(float magnitude, int significant) {
    char buffer[48];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, significant - 1);
    return SplitScientific(buffer, result.ptr);
}

// The fewest digits (at most 7) that read back to the same Single; 7 digits when none
// does, as for Singles whose neighbours are closer than the 7th digit.
DecimalDigits ShortestDigits(float magnitude) {
    char buffer[48];
    for (int significant = 1; significant < kSingleDigits; ++significant) {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                          std::chars_format::scientific, significant - 1);
        float readBack = 0;
        std::from_chars(buffer, result.ptr, readBack);
        if (readBack == magnitude) {
            return SplitScientific(buffer, result.ptr);
        }
    }
    return RoundedDigits(magnitude, kSingleDigits);
}

std::string GeneralText(bool negative, const DecimalDigits& decimal) {
    std::string text = negative ? "-" : "";
    const std::string& digits = decimal.digits;
    const int count = static_cast<int>(digits.size());
    const int exponent = decimal.exponent;
    if (exponent < -4 || exponent >= kSingleDigits) {
        text += digits.front();
        if (count > 1) {
            text += '.';
            text.append(digits, 1);
        }
        text += exponent < 0 ? "E-" : "E+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) {
            text += '0';
        }
        text += std::to_string(magnitude);
    } else if (exponent >= 0) {
        const int integerDigits = exponent + 1;
        if (count <= integerDigits) {
            text += digits;
            text.append(static_cast<size_t>(integerDigits - count), '0');
        } else {
            text.append(digits, 0, static_cast<size_t>(integerDigits));
            text += '.';
            text.append(digits, static_cast<size_t>(integerDigits));
        }
    } else {
        text += "0.";
        text.append(static_cast<size_t>(-exponent - 1), '0');
        text += digits;
    }
    return text;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Significant digits kept by the plain reader: more than a double can hold, so the
// rounding of the kept digits is that of the full text for all practical input.
constexpr size_t kKeptDigits = 40;
// Exponent digits saturate here; any larger exponent is out of range for a double anyway.
constexpr std::int64_t kExponentCap = 100'000'000;
// Decimal magnitudes beyond these are certainly infinite or zero as a double.
constexpr std::int64_t kBeyondDouble = 400;

// Kept significant digits (leading zeros dropped) and the power of ten that turns them,
// read as an integer, into the number written.
struct Mantissa {
    std::string digits;
    std::int64_t scale = 0;
};

// Reads a plain number from the front of a text; blanks between its characters are
// skipped, and reading stops at the first character that cannot continue it.
struct PlainTextReader {
    std::string_view text;
    size_t at = 0;

    bool more() const { return at < text.size(); }
    void skipBlanks() {
        while (more() && IsBlank(text[at])) {
            ++at;
        }
    }
    // Reads an optional sign; true for a minus.
    bool readSign() {
        if (more() && (text[at] == '+' || text[at] == '-')) {
            return text[at++] == '-';
        }
        return false;
    }
    void takeMantissaDigit(char c, bool pointSeen, Mantissa& m) const {
        if (m.digits.empty() && c == '0') {
            m.scale -= pointSeen ? 1 : 0;
        } else if (m.digits.size() < kKeptDigits) {
            m.digits.push_back(c);
            m.scale -= pointSeen ? 1 : 0;
        } else if (!pointSeen) {
            ++m.scale; // an integer digit beyond those kept still counts a place
        }
    }
    Mantissa readMantissa() {
        Mantissa m;
        bool pointSeen = false;
        for (; more(); ++at) {
            const char c = text[at];
            if (IsDigit(c)) {
                takeMantissaDigit(c, pointSeen, m);
            } else if (c == '.' && !pointSeen) {
                pointSeen = true;
            } else if (!IsBlank(c)) {
                break;
            }
        }
        return m;
    }
    // An exponent after E, e, D or d, saturated at kExponentCap; 0 without one.
    std::int64_t readExponent() {
        const char marker = more() ? text[at] : ' ';
        if (marker != 'E' && marker != 'e' && marker != 'D' && marker != 'd') {
            return 0;
        }
        ++at;
        skipBlanks();
        const bool negative = readSign();
        std::int64_t exponent = 0;
        for (; more() && (IsDigit(text[at]) || IsBlank(text[at])); ++at) {
            if (IsDigit(text[at])) {
                exponent = std::min(exponent * 10 + (text[at] - '0'), kExponentCap);
            }
        }
        return negative ? -exponent : exponent;
    }
};

// The magnitude the mantissa and exponent give, rounded once to a double.
double ComposeDouble(const Mantissa& mantissa, std::int64_t exponent) {
    const std::int64_t power = exponent + mantissa.scale;
    const std::int64_t magnitude = power + static_cast<std::int64_t>(mantissa.digits.size());
    if (magnitude > kBeyondDouble) {
        return std::numeric_limits<double>::infinity();
    }
    if (magnitude < -kBeyondDouble) {
        return 0.0;
    }
    const std::string number = mantissa.digits + "e" + std::to_string(power);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

} // namespace

std::string FormatSingleGeneral(float value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Inf" : "Inf";
    }
    if (value == 0) {
        return "0";
    }
    return GeneralText(value < 0, ShortestDigits(std::fabs(value)));
}

std::string FormatPlainNumber(float value) {
    std::string text = FormatSingleGeneral(value);
    if (text.front() != '-') {
        text.insert(text.begin(), ' ');
    }
    return text;
}

float RoundToDecimals(float value, int decimals) {
    if (!std::isfinite(value) || value == 0) {
        return value;
    }
    const bool negative = value < 0;
    const DecimalDigits decimal = RoundedDigits(std::fabs(value), kSingleDigits);
    // Number of leading digits that stay; the digit after them decides the rounding.
    const int kept = decimal.exponent + 1 + decimals;
    if (kept >= static_cast<int>(decimal.digits.size())) {
        return value;
    }
    if (kept < 0) {
        return 0.0f;
    }
    std::string digits = decimal.digits.substr(0, static_cast<size_t>(kept));
    int exponent = decimal.exponent;
    if (decimal.digits[static_cast<size_t>(kept)] >= '5') {
        int i = kept - 1;
        while (i >= 0 && digits[static_cast<size_t>(i)] == '9') {
            digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            // All nines (or nothing kept): the carry adds a leading 1 one place up.
            digits.insert(digits.begin(), '1');
            ++exponent;
        } else {
            ++digits[static_cast<size_t>(i)];
        }
    }
    if (digits.empty()) {
        return 0.0f;
    }
    // digits holds d1 d2 ... with d1 at 10^exponent.
    const std::string text = (negative ? "-" : "") + digits + "e" +
                             std::to_string(exponent - static_cast<int>(digits.size()) + 1);
    float rounded = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), rounded);
    if (result.ec == std::errc::result_out_of_range) {
        return negative ? -std::numeric_limits<float>::infinity()
                        : std::numeric_limits<float>::infinity();
    }
    return rounded;
}

double ReadPlainNumber(std::string_view text) {
    PlainTextReader reader{text};
    reader.skipBlanks();
    const bool negative = reader.readSign();
    const Mantissa mantissa = reader.readMantissa();
    if (mantissa.digits.empty()) {
        return 0.0;
    }
    const std::int64_t exponent = reader.readExponent();
    const double value = ComposeDouble(mantissa, exponent);
    return negative ? -value : value;
}

} // namespace valvix
