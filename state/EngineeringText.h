#pragma once

#include <string>
#include <string_view>

namespace valvix {

// Reads an entry text with an optional SI suffix (p n u m k M G), a comma as the
// decimal point and stray characters skipped. Never fails: text without digits gives
// 0, the result is clamped to plus or minus 1e10, and a Single overflow gives 1e10.
float ParseEngineering(std::string_view text);
void ParseEngineering(std::string_view text, float& destination);

// Writes a number as short engineering text: scaled to G, M or k where large, with
// the band's decimals, and always one trailing character (the suffix or a blank).
std::string FormatEngineering(double value);
void FormatEngineering(double value, std::string& destination);

} // namespace valvix
