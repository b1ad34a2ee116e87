// ReadPlainNumber takes any text and gives a number that is finite or an infinity,
// never NaN. Blanks anywhere do not change it, and for a text that is nothing but a
// well-formed decimal number it agrees with the correctly rounded std::from_chars.

#include "FuzzTargets.h"

#include "state/NumberText.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

namespace valvix::fuzz {

namespace {

// The digits the reader keeps exactly; a longer mantissa may round differently.
constexpr std::size_t kComparedDigits = 40;

// The text rewritten for std::from_chars when it is exactly
// [+-]digits[.digits][(E|e|D|d)[+-]digits] with at least one mantissa digit and at
// most kComparedDigits of them; nothing otherwise.
std::optional<std::string> WellFormed(std::string_view text) {
    std::string rewritten;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            rewritten += '-';
        }
        ++i;
    }
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        rewritten += c;
    }
    if (digits == 0 || digits > kComparedDigits) {
        return std::nullopt;
    }
    if (i < text.size()) {
        const char e = text[i];
        if (e != 'E' && e != 'e' && e != 'D' && e != 'd') {
            return std::nullopt;
        }
        rewritten += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            rewritten += text[i];
            ++i;
        }
        const std::size_t exponentStart = i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            rewritten += text[i];
        }
        if (i == exponentStart || i != text.size()) {
            return std::nullopt;
        }
    }
    return rewritten;
}

} // namespace

int PlainNumber(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto input = [&] { return Printable(data, size); };

    const double value = ReadPlainNumber(text);
    VALVIX_FUZZ_CHECK(!std::isnan(value), "ReadPlainNumber(" + input() + ") is NaN");

    std::string withoutBlanks(text);
    withoutBlanks.erase(std::remove(withoutBlanks.begin(), withoutBlanks.end(), ' '),
                        withoutBlanks.end());
    const double compact = ReadPlainNumber(withoutBlanks);
    VALVIX_FUZZ_CHECK(compact == value || (std::isnan(compact) && std::isnan(value)),
                      "ReadPlainNumber(" + input() + ") = " + Exact(value) +
                          " but without its blanks " + Exact(compact));

    if (const std::optional<std::string> plain = WellFormed(text)) {
        double expected = 0;
        const auto result = std::from_chars(plain->data(), plain->data() + plain->size(), expected);
        VALVIX_FUZZ_CHECK(result.ptr == plain->data() + plain->size(), "from_chars stopped early");
        if (result.ec == std::errc::result_out_of_range) {
            // Beyond the doubles: an infinity, or a zero or subnormal for tiny values.
            VALVIX_FUZZ_CHECK(std::isinf(value) || std::fabs(value) < DBL_MIN,
                              "ReadPlainNumber(" + input() + ") = " + Exact(value) +
                                  " for a number beyond the doubles");
        } else {
            VALVIX_FUZZ_CHECK(value == expected, "ReadPlainNumber(" + input() +
                                                     ") = " + Exact(value) +
                                                     ", correctly rounded " + Exact(expected));
        }
    }
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::PlainNumber)
