// FormatEngineering over every double bit pattern, and every Single widened to a
// double: it always writes a text ending in the band's suffix letter or a blank, "0  "
// for magnitudes of 0.00001 or less, and between that and 1e10 ParseEngineering
// reads the text back to the value within the band's decimals.

#include "FuzzTargets.h"

#include "state/EngineeringText.h"

#include <cmath>
#include <utility>

namespace valvix::fuzz {

namespace {

struct Band {
    double divisor;
    int decimals;
    char suffix;
};

// The band a magnitude above 0.00001 falls in.
Band BandOf(double magnitude) {
    static constexpr std::pair<double, Band> kBands[] = {{1e9, {1e9, 3, 'G'}}, {1e6, {1e6, 3, 'M'}},
                                                         {1e3, {1e3, 3, 'k'}}, {100, {1, 2, ' '}},
                                                         {10, {1, 3, ' '}},    {1, {1, 4, ' '}}};
    for (const auto& [lowest, band] : kBands) {
        if (magnitude >= lowest) {
            return band;
        }
    }
    return {1, 5, ' '};
}

void Check(double value) {
    const std::string text = FormatEngineering(value);
    const auto what = [&] { return "FormatEngineering(" + Exact(value) + ") = \"" + text + "\""; };
    std::string destination = "old text";
    FormatEngineering(value, destination);
    VALVIX_FUZZ_CHECK(destination == text,
                      what() + " but the two-argument form gives \"" + destination + "\"");

    VALVIX_FUZZ_CHECK(text.size() >= 2, what() + " is too short");
    const double magnitude = std::fabs(value);
    if (std::isnan(value) || magnitude <= 0.00001) {
        VALVIX_FUZZ_CHECK(text == "0  ", what() + " instead of \"0  \"");
        return;
    }
    const Band band = BandOf(magnitude);
    VALVIX_FUZZ_CHECK(text.back() == band.suffix, what() + " has the wrong suffix");
    if (magnitude > 1e10) {
        return; // beyond what an entry field can hold; only the form is checked
    }

    const std::string number = text.substr(0, text.size() - 1);
    const std::size_t point = number.find('.');
    if (number.find('E') == std::string::npos && point != std::string::npos) {
        VALVIX_FUZZ_CHECK(number.size() - point - 1 <= static_cast<std::size_t>(band.decimals),
                          what() + " has more decimals than the band keeps");
    }

    const float readBack = ParseEngineering(text);
    const double error = std::fabs(static_cast<double>(readBack) - value);
    // Half a unit in the last decimal kept, plus the Single roundings on the way (the
    // 7-digit text may round onto the half: 1017.49963 gives 1.0175, so 1.018k).
    const double allowed = 0.5 * std::pow(10.0, -band.decimals) * band.divisor + 8e-7 * magnitude;
    VALVIX_FUZZ_CHECK(error <= allowed, what() + " reads back as " + Exact(readBack));
}

} // namespace

int EngineeringFormat(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view wide = input;
    std::string_view narrow = input;
    Check(Take<double>(wide));
    Check(Take<float>(narrow));
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::EngineeringFormat)
