#include "state/EngineeringText.h"

#include "state/NumberText.h"
#include "state/Single.h"

#include <algorithm>
#include <cmath>

namespace valvix {

namespace {

// Largest magnitude an entry field can give; also the answer to a Single overflow.
constexpr float kEntryLimit = 1e10f;
// Entry text beyond this many characters is ignored.
constexpr size_t kEntryCharacters = 12;

struct SuffixLetter {
    char letter; // as kept in the accepted text
    float multiplier;
};

// The SI suffixes. Milli and mega are told apart by case; the others take both cases.
bool FindSuffix(char c, SuffixLetter& suffix) {
    switch (c) {
    case 'P':
    case 'p':
        suffix = {'p', 1e-12f};
        return true;
    case 'N':
    case 'n':
        suffix = {'n', 1e-9f};
        return true;
    case 'U':
    case 'u':
        suffix = {'u', 1e-6f};
        return true;
    case 'm':
        suffix = {'m', 1e-3f};
        return true;
    case 'K':
    case 'k':
        suffix = {'k', 1e3f};
        return true;
    case 'M':
        suffix = {'M', 1e6f};
        return true;
    case 'G':
    case 'g':
        suffix = {'G', 1e9f};
        return true;
    default:
        return false;
    }
}

std::string_view TrimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The first `count` characters of UTF-8 text; a multi-byte character counts once.
std::string_view FirstCharacters(std::string_view text, size_t count) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == count) {
            return text.substr(0, i);
        }
    }
    return text;
}

// Filters the entry text down to sign, digits, one point, one exponent and one suffix
// letter, in the places where each may stand; everything else is dropped.
std::string AcceptedText(std::string_view text, float& multiplier) {
    std::string accepted;
    bool pointSeen = false;
    bool exponentSeen = false;
    bool suffixSeen = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (!suffixSeen) {
                accepted += c;
            }
            continue;
        }
        if (c == ',') {
            c = '.';
        }
        if (c == '.') {
            if (!pointSeen && !suffixSeen) {
                accepted += c;
                pointSeen = true;
            }
            continue;
        }
        if (c == '+' || c == '-') {
            if (accepted.empty() || accepted.back() == 'E') {
                accepted += c;
            }
            continue;
        }
        if (accepted.empty()) {
            continue; // an exponent or suffix letter before anything else means nothing
        }
        if ((c == 'E' || c == 'e') && !suffixSeen) {
            if (!exponentSeen) {
                accepted += 'E';
                exponentSeen = true;
                pointSeen = true; // no point may follow an exponent
            }
            continue;
        }
        SuffixLetter suffix{};
        if (!exponentSeen && !suffixSeen && FindSuffix(c, suffix)) {
            accepted += suffix.letter;
            multiplier = suffix.multiplier;
            suffixSeen = true;
        }
    }
    return accepted;
}

// Writes a scaled value with the band's decimals and suffix.
std::string BandText(float scaled, int decimals, const char* suffix) {
    if (scaled == 0) {
        return "0  ";
    }
    return FormatSingleGeneral(RoundToDecimals(scaled, decimals)) + suffix;
}

} // namespace

float ParseEngineering(std::string_view text) {
    float multiplier = 1.0f;
    const std::string accepted =
        AcceptedText(FirstCharacters(TrimSpaces(text), kEntryCharacters), multiplier);
    // The accepted text holds no blanks and no D, and the suffix letter ends the number.
    const float number = ToSingle(ReadPlainNumber(accepted));
    if (!std::isfinite(number)) {
        return kEntryLimit;
    }
    // The product of two Singles is exact in a double, so this rounds only once.
    const float result = ToSingle(static_cast<double>(multiplier) * number);
    if (!std::isfinite(result)) {
        return kEntryLimit;
    }
    return std::clamp(result, -kEntryLimit, kEntryLimit);
}

void ParseEngineering(std::string_view text, float& destination) {
    destination = ParseEngineering(text);
}

std::string FormatEngineering(double value) {
    struct Band {
        double lowest; // smallest magnitude in the band
        double divisor;
        int decimals;
        const char* suffix;
    };
    static constexpr Band kBands[] = {
        {1e9, 1e9, 3, "G"}, {1e6, 1e6, 3, "M"}, {1e3, 1e3, 3, "k"},
        {100, 1, 2, " "},   {10, 1, 3, " "},    {1, 1, 4, " "},
    };
    // Compared at the caller's precision; NaN matches no band and is written as zero.
    const double magnitude = std::fabs(value);
    for (const Band& band : kBands) {
        if (magnitude >= band.lowest) {
            return BandText(ToSingle(value / band.divisor), band.decimals, band.suffix);
        }
    }
    if (magnitude > 0.00001) {
        return BandText(ToSingle(value), 5, " ");
    }
    return "0  ";
}

void FormatEngineering(double value, std::string& destination) {
    destination = FormatEngineering(value);
}

} // namespace valvix
