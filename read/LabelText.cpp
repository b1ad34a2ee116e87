#include "read/LabelText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace valvix::read {

namespace {

// UTF-8 dashes read as a minus sign.
constexpr std::array<std::string_view, 6> kDashes{
    "\xE2\x80\x90", // hyphen
    "\xE2\x80\x91", // non-breaking hyphen
    "\xE2\x80\x92", // figure dash
    "\xE2\x80\x93", // en dash
    "\xE2\x80\x94", // em dash
    "\xE2\x88\x92", // minus sign
};

// Names of the grid before '=' or the number, longest first.
// European sheets write Ug (and Ug1, Ugk); the 1 of a name is often read as an l.
constexpr std::array<std::string_view, 14> kGridNames{
    "VG1", "VGL", "VGK", "EC1", "ECL", "EG1", "EGL", "UG1", "UGL", "UGK", "VG", "EC", "EG", "UG"};
constexpr std::array<std::string_view, 3> kUnits{"VOLTS", "VOLT", "V"};
// A grid's name read wrongly before its '=' is at most this many letters long.
constexpr std::size_t kLongestMisreadName = 2;

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

std::size_t DashAt(std::string_view text, std::size_t at) {
    for (const std::string_view dash : kDashes) {
        if (text.substr(at, dash.size()) == dash) {
            return dash.size();
        }
    }
    return 0;
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

// A sign, digits and one point; the whole text.
std::optional<double> Number(std::string_view text, bool& signWritten) {
    signWritten = !text.empty() && (text.front() == '-' || text.front() == '+');
    const bool negative = signWritten && text.front() == '-';
    if (signWritten) {
        text.remove_prefix(1);
    }
    std::size_t digits = 0;
    std::size_t points = 0;
    for (const char c : text) {
        digits += IsDigit(c) ? 1 : 0;
        points += c == '.' ? 1 : 0;
    }
    if (digits == 0 || digits + points != text.size() || digits > 12) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

bool StartsWithSign(std::string_view text) {
    return text.starts_with('-') || text.starts_with('+');
}

// A small '=' after the grid's name, read as a letter or a dash like it ("ECS-4V", "ECE-4V",
// "EC--4V"): taken where a sign follows, as one always does a negative grid's number.
bool TakeEqualsLookalike(std::string_view& text) {
    constexpr std::string_view kLookalikes = "SE-";
    if (text.size() < 2 || kLookalikes.find(text.front()) == std::string_view::npos ||
        !StartsWithSign(text.substr(1))) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

struct GridName {
    bool named = false;
    bool equalsLost = false; // the name followed by no '=' and no sign
    bool equalsRead = false;
};

// Takes a grid's name read in part or wrongly (a letter or two, its first stroke lost),
// maybe after a dash of the curve or a stray '=', and its '=' off the front of a label:
// "-c=-2", "=Ec=-3". Only a name read whole counts as named.
bool TakeMisreadName(std::string_view& rest, bool& named) {
    const std::size_t equals = rest.find('=', 1);
    std::string_view name = rest.substr(0, equals);
    if (name.starts_with('-') || name.starts_with('=')) {
        name.remove_prefix(1);
    }
    if (equals == std::string_view::npos || name.empty() || name.size() > kLongestMisreadName ||
        !std::all_of(name.begin(), name.end(), IsLetter)) {
        return false;
    }
    named = std::find(kGridNames.begin(), kGridNames.end(), name) != kGridNames.end();
    rest.remove_prefix(equals + 1);
    return true;
}

// Takes the grid's name and its '=' off the front of a label, or an '=' whose name was lost
// ("=-2V"); nothing where the label cannot be read past them.
std::optional<GridName> TakeGridName(std::string_view& rest) {
    GridName found;
    for (const std::string_view name : kGridNames) {
        if (TakePrefix(rest, name)) {
            found.named = true;
            found.equalsRead = TakePrefix(rest, "=");
            if (!found.equalsRead && !TakeEqualsLookalike(rest) && !StartsWithSign(rest)) {
                found.equalsLost = true;
                if (name.size() > 2) {
                    return std::nullopt; // "EC10V" may be "Ec = -10V"
                }
            }
            return found;
        }
    }
    found.equalsRead = TakeMisreadName(rest, found.named) || TakePrefix(rest, "=");
    return found;
}

// The number's letters a reader gives for the digits they look like: L or I for 1 where it
// is a number (signed, or with a digit of its own), O for 0 beside a digit, or alone after
// the grid's name ("Ec=O V") or before a unit ("O V"). A signed O alone is more often a
// loop of curve, and a lone letter stays a letter.
std::string DigitsForLookalikes(std::string_view text, bool namedOrWithUnit) {
    const bool withSign = !text.empty() && (text.front() == '-' || text.front() == '+');
    const bool digit = std::any_of(text.begin(), text.end(), IsDigit);
    std::string digits(text);
    for (char& c : digits) {
        if ((withSign || digit) && (c == 'L' || c == 'I')) {
            c = '1';
        } else if ((digit || (namedOrWithUnit && text == "O")) && c == 'O') {
            c = '0';
        }
    }
    return digits;
}

} // namespace

std::string PlainLabelText(std::string_view text) {
    std::string plain;
    for (std::size_t at = 0; at < text.size();) {
        if (const std::size_t dash = DashAt(text, at); dash > 0) {
            plain += '-';
            at += dash;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[at++]);
        if (std::isspace(c) == 0) {
            plain += static_cast<char>(std::toupper(c));
        }
    }
    return plain;
}

std::optional<double> TickValue(std::string_view text) {
    bool signWritten = false;
    const std::string plain = PlainLabelText(text);
    const std::optional<double> value = Number(plain, signWritten);
    // An axis prints no leading zero but a fraction's: "025" is 0.25 with its point lost.
    const std::string_view digits = std::string_view(plain).substr(signWritten ? 1 : 0);
    if (value && digits.size() > 1 && digits.front() == '0' &&
        digits.find('.') == std::string_view::npos) {
        return *value / std::pow(10.0, double(digits.size() - 1));
    }
    return value;
}

std::optional<CurveLabel> CurveLabelValue(std::string_view text) {
    const std::string plain = PlainLabelText(text);
    std::string_view rest = plain;
    const std::optional<GridName> name = TakeGridName(rest);
    if (!name) {
        return std::nullopt;
    }
    const bool named = name->named;
    bool withUnit = false;
    for (const std::string_view unit : kUnits) {
        // A dash after the unit is a dot of a grid line, or the end of a curve: "Vg=-8V-".
        const bool dashAfter =
            rest.ends_with('-') && rest.substr(0, rest.size() - 1).ends_with(unit);
        if (rest.ends_with(unit) || dashAfter) {
            rest.remove_suffix(unit.size() + (dashAfter ? 1 : 0));
            withUnit = true;
            break;
        }
    }
    // After a '=', a dash after the number is the curve's, run on past the label: "c=-2-".
    if (name->equalsRead && rest.size() > 1 && rest.ends_with('-')) {
        rest.remove_suffix(1);
    }
    CurveLabel label;
    const std::optional<double> volts =
        Number(DigitsForLookalikes(rest, named || withUnit), label.signWritten);
    if (!volts) {
        return std::nullopt;
    }
    if (name->equalsLost && (*volts != 0 || label.signWritten)) {
        return std::nullopt; // "VG 2": a '=' and a minus may both be lost; "EC 0V" is 0
    }
    label.volts = *volts == 0 ? 0.0 : *volts; // "-0" (an '=' read as a dash) is 0 V, unsigned
    label.gridNamed = named;
    return label;
}

bool PointMayBeLost(std::string_view text) {
    const auto last = std::find_if(text.rbegin(), text.rend(), IsDigit);
    return std::count_if(text.begin(), text.end(), IsDigit) == 2 && *last != '0' &&
           text.find('.') == std::string_view::npos;
}

std::optional<int> DecimalsShown(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view after = text.substr(point + 1);
    return static_cast<int>(std::find_if_not(after.begin(), after.end(), IsDigit) - after.begin());
}

std::optional<std::string> WithPointPutBack(std::string_view text, int decimals) {
    const auto lastDigit = std::find_if(text.rbegin(), text.rend(), IsDigit);
    const auto runStart = std::find_if_not(lastDigit, text.rend(), IsDigit);
    if (decimals < 1 || text.find('.') != std::string_view::npos ||
        runStart - lastDigit <= decimals) {
        return std::nullopt;
    }
    const std::size_t at =
        static_cast<std::size_t>(text.rend() - lastDigit) - static_cast<std::size_t>(decimals);
    std::string mended(text.substr(0, at));
    mended += '.';
    mended += text.substr(at);
    return mended;
}

bool IsGridNameAlone(std::string_view text) {
    const std::string plain = PlainLabelText(text);
    std::string_view rest = plain;
    for (const std::string_view name : kGridNames) {
        if (TakePrefix(rest, name)) {
            return rest == "=";
        }
    }
    return false;
}

} // namespace valvix::read
