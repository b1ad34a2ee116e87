#pragma once

#include <string>
#include <string_view>

namespace valvix {

// Shortest decimal text of a Single with at most 7 significant digits: no trailing
// zeros or point, a zero before the point below 1 ("0.5"), a minus sign for negative
// values and none otherwise, and exponent form with a signed two-digit exponent
// ("1E-05", "1.5E+07") below 0.0001 or from 10000000 up.
std::string FormatSingleGeneral(float value);

// Rounds a Single to a number of decimals, half away from zero, as the value is written
// with 7 significant digits (so 1.00005 becomes 1.0001 although the Single lies just
// below it), and returns the nearest Single to the rounded decimal.
float RoundToDecimals(float value, int decimals);

// The plain number form of entry fields, axis numbers and sweep lines: the general
// form with one leading blank for values that are not negative (" 1.3", "-10",
// " 1E+07").
std::string FormatPlainNumber(float value);

// The plain decimal reader: blanks are ignored, an optional sign, digits with one
// period, an optional exponent (E or D) with sign; reading stops at the first other
// character. A text without a leading number reads as 0. The result is a double so
// that callers can tell when it does not fit a Single.
double ReadPlainNumber(std::string_view text);

} // namespace valvix
