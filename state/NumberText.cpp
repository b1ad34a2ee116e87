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
    const size_t size = text.size();
    size_t i = 0;
    while (i < size && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Mantissa: significant digits (leading zeros dropped) and the power of ten that
    // turns them, read as an integer, into the number written.
    std::string digits;
    std::int64_t scale = 0;
    bool anyDigit = false;
    bool pointSeen = false;
    for (; i < size; ++i) {
        const char c = text[i];
        if (IsBlank(c)) {
            continue;
        }
        if (IsDigit(c)) {
            anyDigit = true;
            if (digits.empty() && c == '0') {
                if (pointSeen) {
                    --scale;
                }
            } else if (digits.size() < kKeptDigits) {
                digits.push_back(c);
                if (pointSeen) {
                    --scale;
                }
            } else if (!pointSeen) {
                ++scale; // an integer digit beyond those kept still counts a place
            }
            continue;
        }
        if (c == '.' && !pointSeen) {
            pointSeen = true;
            continue;
        }
        break;
    }
    if (!anyDigit || digits.empty()) {
        return 0.0;
    }

    std::int64_t exponent = 0;
    if (i < size && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        ++i;
        while (i < size && IsBlank(text[i])) {
            ++i;
        }
        bool exponentNegative = false;
        if (i < size && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            ++i;
        }
        for (; i < size; ++i) {
            const char c = text[i];
            if (IsBlank(c)) {
                continue;
            }
            if (!IsDigit(c)) {
                break;
            }
            exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
        }
        if (exponentNegative) {
            exponent = -exponent;
        }
    }

    const std::int64_t power = exponent + scale;
    const std::int64_t magnitude = power + static_cast<std::int64_t>(digits.size());
    double value = 0.0;
    if (magnitude > kBeyondDouble) {
        value = std::numeric_limits<double>::infinity();
    } else if (magnitude >= -kBeyondDouble) {
        const std::string number = digits + "e" + std::to_string(power);
        const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
        if (result.ec == std::errc::result_out_of_range) {
            value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        }
    }
    return negative ? -value : value;
}

} // namespace valvix
