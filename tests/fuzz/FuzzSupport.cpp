#include "FuzzTargets.h"

#include <cstdio>
#include <cstdlib>

namespace valvix::fuzz {

void FuzzFailure(const std::string& message) {
#if defined(VALVIX_LIBFUZZER)
    std::fprintf(stderr, "Property broken: %s\n", message.c_str());
    std::abort();
#else
    throw PropertyBroken(message);
#endif
}

std::string Exact(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g (%a)", value, value);
    return buffer;
}

std::string Printable(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kShown = 200;
    std::string text = "\"";
    for (std::size_t i = 0; i < size && i < kShown; ++i) {
        const unsigned char c = data[i];
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            text += escaped;
        }
    }
    text += size > kShown ? "\"..." : "\"";
    return text;
}

} // namespace valvix::fuzz
