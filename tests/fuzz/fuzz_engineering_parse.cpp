// ParseEngineering takes any entry text and always gives a finite number within
// plus or minus 1e10. Blanks around the text and anything after its first 12
// characters do not matter.

#include "FuzzTargets.h"

#include "state/EngineeringText.h"

#include <cmath>
#include <limits>

namespace valvix::fuzz {

namespace {

// Number of characters (UTF-8 sequences) in the text once spaces are cut off its ends.
std::size_t TrimmedCharacters(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return 0;
    }
    const std::string_view trimmed = text.substr(first, text.find_last_not_of(' ') - first + 1);
    std::size_t count = 0;
    for (const char c : trimmed) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

} // namespace

int EngineeringParse(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto input = [&] { return Printable(data, size); };

    const float value = ParseEngineering(text);
    VALVIX_FUZZ_CHECK(std::isfinite(value) && std::fabs(value) <= 1e10f,
                      "ParseEngineering(" + input() + ") = " + Exact(value) +
                          ", not within +-1e10");

    float destination = std::numeric_limits<float>::quiet_NaN();
    ParseEngineering(text, destination);
    VALVIX_FUZZ_CHECK(SameBits(destination, value),
                      "ParseEngineering(" + input() + ", destination) stored " +
                          Exact(destination) + " instead of " + Exact(value));

    const float padded = ParseEngineering("  " + text + " ");
    VALVIX_FUZZ_CHECK(SameBits(padded, value), "blanks around " + input() +
                                                   " change the value from " + Exact(value) +
                                                   " to " + Exact(padded));

    if (TrimmedCharacters(text) >= 12) {
        const float longer = ParseEngineering(text + "9");
        VALVIX_FUZZ_CHECK(SameBits(longer, value), "a character after the 12th of " + input() +
                                                       " changes the value from " + Exact(value) +
                                                       " to " + Exact(longer));
    }
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::EngineeringParse)
