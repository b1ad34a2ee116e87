// FormatSingleGeneral, FormatPlainNumber and RoundToDecimals over every Single bit
// pattern. The general form has at most 7 significant digits, no trailing zeros, and
// exponent form outside 0.0001 up to ten million. It is the shortest text giving the
// Single back where 7 digits can, else the Single rounded to 7 digits.

#include "FuzzTargets.h"

#include "state/NumberText.h"
#include "state/Single.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>

namespace valvix::fuzz {

namespace {

// The value rounded to a number of significant digits, read back as a T.
template <typename T> T Rounded(float value, int digits) {
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value,
                                   std::chars_format::scientific, digits - 1)
                         .ptr;
    T result = 0;
    std::from_chars(buffer, end, result);
    return result;
}

// Checks the shape of the general text of a finite, non-zero Single and returns its
// number of significant digits.
int CheckShape(std::string_view text, const std::function<std::string()>& what) {
    std::string_view rest = text;
    if (!rest.empty() && rest.front() == '-') {
        rest.remove_prefix(1);
    }
    const std::size_t e = rest.find('E');
    const std::string_view mantissa = rest.substr(0, e);
    const std::size_t point = mantissa.find('.');
    const std::string_view integer = mantissa.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
    for (const std::string_view part : {integer, fraction}) {
        for (const char c : part) {
            VALVIX_FUZZ_CHECK(IsDigit(c), what() + " has a stray character");
        }
    }
    VALVIX_FUZZ_CHECK(!integer.empty(), what() + " has no integer digit");
    VALVIX_FUZZ_CHECK(point == std::string_view::npos ||
                          (!fraction.empty() && fraction.back() != '0'),
                      what() + " has a trailing point or zero");

    std::string digits = std::string(integer) + std::string(fraction);
    const std::size_t firstSignificant = digits.find_first_not_of('0');
    VALVIX_FUZZ_CHECK(firstSignificant != std::string::npos, what() + " has no significant digit");
    // Decimal exponent of the leading significant digit.
    int exponent = static_cast<int>(integer.size()) - 1 - static_cast<int>(firstSignificant);
    digits.erase(0, firstSignificant);
    if (e == std::string_view::npos) {
        VALVIX_FUZZ_CHECK(integer == "0" || integer.front() != '0', what() + " has a leading zero");
        VALVIX_FUZZ_CHECK(exponent >= -4 && exponent < 7, what() + " should be in exponent form");
        if (point == std::string_view::npos) {
            // Zeros at the end of an integer are not significant digits.
            digits.erase(digits.find_last_not_of('0') + 1);
        }
    } else {
        VALVIX_FUZZ_CHECK(integer.size() == 1 && integer != "0", what() + " has a bad mantissa");
        const std::string_view power = rest.substr(e + 1);
        VALVIX_FUZZ_CHECK(power.size() >= 3 && (power[0] == '+' || power[0] == '-') &&
                              IsDigit(power[1]) && IsDigit(power[2]),
                          what() + " has a bad exponent");
        int written = 0;
        std::from_chars(power.data() + 1, power.data() + power.size(), written);
        exponent = power[0] == '-' ? -written : written;
        VALVIX_FUZZ_CHECK(exponent < -4 || exponent >= 7, what() + " should be in plain form");
    }
    VALVIX_FUZZ_CHECK(digits.size() <= 7, what() + " has more than 7 significant digits");
    return static_cast<int>(digits.size());
}

void CheckGeneral(float value) {
    const std::string text = FormatSingleGeneral(value);
    const auto what = [&] {
        return "FormatSingleGeneral(" + Exact(value) + ") = \"" + text + "\"";
    };
    const std::string plain = FormatPlainNumber(value);
    VALVIX_FUZZ_CHECK(plain == (text.front() == '-' ? text : " " + text),
                      what() + " but FormatPlainNumber gives \"" + plain + "\"");

    if (std::isnan(value)) {
        VALVIX_FUZZ_CHECK(text == "NaN", what());
        return;
    }
    if (std::isinf(value)) {
        VALVIX_FUZZ_CHECK(text == (value < 0 ? "-Inf" : "Inf"), what());
        return;
    }
    if (value == 0) {
        VALVIX_FUZZ_CHECK(text == "0", what());
        return;
    }
    VALVIX_FUZZ_CHECK((text.front() == '-') == std::signbit(value), what() + " has the wrong sign");
    const int significant = CheckShape(text, what);

    const float readBack = ToSingle(ReadPlainNumber(plain));
    const double error = std::fabs(static_cast<double>(readBack) - value);
    // Half a unit in the 7th digit, plus the rounding of the decimal to a Single.
    const double ulp =
        std::nextafter(std::fabs(value), std::numeric_limits<float>::infinity()) - std::fabs(value);
    VALVIX_FUZZ_CHECK(error <= 5.000001e-7 * std::fabs(value) + ulp,
                      what() + " reads back as " + Exact(readBack));
    // Either the text gives the Single itself, with no shorter text doing so, or no
    // text of up to 7 digits does and it is the Single rounded to 7 digits.
    float exact = 0;
    std::from_chars(text.data(), text.data() + text.size(), exact);
    if (exact == value) {
        for (int shorter = 1; shorter < significant; ++shorter) {
            VALVIX_FUZZ_CHECK(Rounded<float>(value, shorter) != value,
                              what() + " but " + std::to_string(shorter) + " digits are enough");
        }
    } else {
        VALVIX_FUZZ_CHECK(Rounded<float>(value, 7) != value,
                          what() + " but 7 digits give it exactly");
        double written = 0;
        std::from_chars(text.data(), text.data() + text.size(), written);
        VALVIX_FUZZ_CHECK(written == Rounded<double>(value, 7),
                          what() + " is not the Single rounded to 7 digits");
    }
}

void CheckRounding(float value, int decimals) {
    const float rounded = RoundToDecimals(value, decimals);
    const auto what = [&] {
        return "RoundToDecimals(" + Exact(value) + ", " + std::to_string(decimals) +
               ") = " + Exact(rounded);
    };
    if (!std::isfinite(value)) {
        VALVIX_FUZZ_CHECK(std::isnan(value) ? std::isnan(rounded) : rounded == value, what());
        return;
    }
    VALVIX_FUZZ_CHECK(std::isfinite(rounded), what() + " is not finite");
    VALVIX_FUZZ_CHECK(rounded == 0 || std::signbit(rounded) == std::signbit(value),
                      what() + " has the wrong sign");
    const double step = std::pow(10.0, -decimals);
    const double error = std::fabs(static_cast<double>(rounded) - value);
    VALVIX_FUZZ_CHECK(error <= 0.5 * step * (1 + 1e-6) + 1e-6 * std::fabs(value),
                      what() + " is too far from the value");
    const float again = RoundToDecimals(rounded, decimals);
    VALVIX_FUZZ_CHECK(again == rounded, what() + " but rounding it again gives " + Exact(again));
}

} // namespace

int NumberFormat(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const float value = Take<float>(input);
    const int decimals = input.empty() ? 2 : static_cast<unsigned char>(input[0]) % 8;
    CheckGeneral(value);
    CheckRounding(value, decimals);
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::NumberFormat)
