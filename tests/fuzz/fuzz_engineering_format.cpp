// FormatEngineering over every double bit pattern, and every Single widened to a
// double: it always writes a text ending in the band's suffix letter or a blank, "0  "
// for magnitudes of 0.00001 or less, and between that and 1e10 ParseEngineering
// reads the text back to the value within the band's decimals.

#include "FuzzTargets.h"

#include "state/EngineeringText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace valvix::fuzz {

namespace {

struct Band {
    double divisor;
    int decimals;
    char suffix;
};

// The band a magnitude above 0.00001 falls in.
Band BandOf(double magnitude) {
    if (magnitude >= 1e9) {
        return {1e9, 3, 'G'};
    }
    if (magnitude >= 1e6) {
        return {1e6, 3, 'M'};
    }
    if (magnitude >= 1e3) {
        return {1e3, 3, 'k'};
    }
    if (magnitude >= 100) {
        return {1, 2, ' '};
    }
    if (magnitude >= 10) {
        return {1, 3, ' '};
    }
    if (magnitude >= 1) {
        return {1, 4, ' '};
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
    // Half a unit in the last decimal kept, plus what the scaled value loses on its way
    // there: it is rounded to a Single, then written with 7 significant digits (which
    // may round it up onto the half: 1017.49963 becomes 1.0175 and so 1.018k), and the
    // text is read back into a Single.
    const double allowed = 0.5 * std::pow(10.0, -band.decimals) * band.divisor + 8e-7 * magnitude;
    VALVIX_FUZZ_CHECK(error <= allowed, what() + " reads back as " + Exact(readBack));
}

} // namespace

int EngineeringFormat(const std::uint8_t* data, std::size_t size) {
    std::uint64_t wide = 0;
    std::memcpy(&wide, data, std::min(size, sizeof wide));
    double value = 0;
    std::memcpy(&value, &wide, sizeof value);
    Check(value);

    std::uint32_t narrow = 0;
    std::memcpy(&narrow, data, std::min(size, sizeof narrow));
    float single = 0;
    std::memcpy(&single, &narrow, sizeof single);
    Check(single);
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::EngineeringFormat)
