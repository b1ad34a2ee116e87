#include "FuzzTargets.h"

#include "state/DesignFile.h"
#include "state/EngineeringText.h"
#include "state/NumberText.h"
#include "state/Single.h"
#include "support/SampleDesign.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace valvix::fuzz {

namespace {

void Check(bool holds, const std::string& what, double value = NAN) {
    if (holds)
        return;
    char text[64];
    std::snprintf(text, sizeof text, " (%.17g)", value);
#if defined(VALVIX_FUZZ_TARGET)
    std::fprintf(stderr, "Property broken: %s%s\n", what.c_str(), text);
    std::abort();
#else
    throw PropertyBroken(what + text);
#endif
}
// The next T of the input, zero-filled once it is used up.
template <typename T> T Take(std::string_view& input) {
    T value{};
    std::memcpy(&value, input.data(), std::min(input.size(), sizeof(T)));
    input.remove_prefix(std::min(input.size(), sizeof(T)));
    return value;
}
bool Same(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
double Ulp(float value) {
    return std::nextafter(std::fabs(value), INFINITY) - std::fabs(value);
}

} // namespace

// Any entry text reads as a finite number within +-1e10, blanks around it changing
// nothing; the plain reader never gives NaN and ignores blanks.
int NumberText(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const float value = ParseEngineering(text);
    Check(std::fabs(value) <= 1e10f && Same(ParseEngineering(" " + text + "  "), value),
          "ParseEngineering: " + text, value);
    const double plain = ReadPlainNumber(text);
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    Check(!std::isnan(plain) && ReadPlainNumber(text) == plain, "ReadPlainNumber: " + text, plain);
    return 0;
}

// Any Single's general text has at most 7 digits and reads back within the 7th, no
// shorter text giving the Single itself; the plain form adds a blank for the sign.
// RoundToDecimals stays within half a step. Any double's engineering text ends in its
// band's suffix ("0  " at 0.00001 and below) and reads back within the band's decimals.
int NumberFormat(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view wide = input;
    const float value = Take<float>(input);
    const int decimals = input.empty() ? 2 : static_cast<unsigned char>(input[0]) % 8;
    const std::string text = FormatSingleGeneral(value);
    Check(FormatPlainNumber(value) == (text[0] == '-' ? text : " " + text), "plain form " + text,
          value);
    if (std::isfinite(value) && value != 0) {
        std::string digits = text.substr(0, text.find('E'));
        digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
        digits = digits.substr(digits.find_first_of("123456789"));
        digits.erase(digits.find_last_not_of('0') + 1);
        const float read = ToSingle(ReadPlainNumber(text));
        const float rounded = RoundToDecimals(value, decimals);
        Check(digits.size() <= 7 && (text[0] == '-') == std::signbit(value) &&
                  std::fabs(double(read) - value) <= 5.000001e-7 * std::fabs(value) + Ulp(value) &&
                  std::fabs(double(rounded) - value) <=
                      0.5000005 * std::pow(10.0, -decimals) + 1e-6 * std::fabs(value),
              "general form " + text + ", rounded to " + std::to_string(decimals), value);
        char shorter[48];
        for (int kept = 1; read == value && kept < int(digits.size()); ++kept) {
            float back = 0;
            std::from_chars(
                shorter,
                std::to_chars(shorter, shorter + 48, value, std::chars_format::scientific, kept - 1)
                    .ptr,
                back);
            Check(back != value || std::strlen(shorter) > text.size(),
                  "not the shortest text " + text, value);
        }
    }
    for (const double x : {Take<double>(wide), double(value)}) {
        const std::string engineering = FormatEngineering(x);
        const double m = std::fabs(x);
        int band = 0;
        for (const double lowest : {1e9, 1e6, 1e3, 100.0, 10.0, 1.0})
            band += m < lowest;
        const double unit[] = {1e6, 1e3, 1, 0.01, 0.001, 1e-4, 1e-5};
        Check(m > 0.00001 ? engineering.back() == "GMk    "[band] &&
                                (m > 1e10 || std::fabs(ParseEngineering(engineering) - x) <=
                                                 unit[band] / 2 + 8e-7 * m)
                          : engineering == "0  ",
              "engineering text " + engineering, x);
    }
    return 0;
}

// Read as a design file, any bytes assign only the 14 values, in file order, each a
// finite Single, other fields untouched, CR and LF alike. Taken as values, a path and
// a date, they write 18 CR LF lines that read back within the 7 digits written.
int DesignFile(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    DesignState before =
        test::Design({NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN});
    before.Dissipation = before.PlotWidth = -5;
    DesignState after = before;
    const bool ok = ReadDesignText(input, after);
    const test::Values read = test::ValuesOf(after);
    const auto assigned =
        std::find_if(read.begin(), read.end(), [](float v) { return std::isnan(v); });
    Check(std::all_of(read.begin(), assigned, [](float v) { return std::isfinite(v); }) &&
              std::all_of(assigned, read.end(), [](float v) { return std::isnan(v); }) &&
              (ok || assigned != read.end()) && after.Dissipation == -5 && after.PlotWidth == -5,
          "read in order");
    std::string lf(input);
    std::replace(lf.begin(), lf.end(), '\r', '\n');
    DesignState lfRead = before;
    Check(ReadDesignText(lf, lfRead) == ok &&
              std::memcmp(test::ValuesOf(lfRead).data(), read.data(), sizeof read) == 0,
          "LF line ends");

    test::Values values{};
    for (float& value : values)
        value = Take<float>(input);
    const std::size_t split = std::min(input.find('\xff'), input.size());
    const std::string text = DesignFileText(test::Design(values), input.substr(0, split),
                                            input.substr(std::min(split + 1, input.size())));
    Check(std::count(text.begin(), text.end(), '\n') == 18 &&
              std::count(text.begin(), text.end(), '\r') == 18 &&
              text.find("\r\n\r\n") == text.size() - 4 && text.find('\n') == text.find("\r\n") + 1,
          "18 CR LF lines");
    DesignState back;
    Check(ReadDesignText(text, back), "written text does not read back");
    for (std::size_t i = 0; i < values.size(); ++i) {
        const float v = std::isfinite(values[i]) ? values[i] : 0;
        Check(std::fabs(test::ValuesOf(back)[i] - v) <= 5.000001e-7 * std::fabs(v) + Ulp(v),
              "round trip", v);
    }
    return 0;
}

} // namespace valvix::fuzz

#if defined(VALVIX_FUZZ_TARGET)
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return valvix::fuzz::VALVIX_FUZZ_TARGET(data, size);
}
#endif
