// DesignFileText with any values, any saved path and any date text, read back by
// ReadDesignText: the text has exactly 18 lines, all CR LF, and the read succeeds and
// restores each of the 14 fields it reads to within the 7 significant digits written
// (a NaN or infinity comes back as 0). Dissipation, written on line 17, is never read.

#include "FuzzTargets.h"

#include "state/DesignFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace valvix::fuzz {

namespace {

constexpr std::array<float DesignState::*, 14> kReadFields{&DesignState::Xleft,
                                                           &DesignState::Xright,
                                                           &DesignState::Ytop,
                                                           &DesignState::Ybottom,
                                                           &DesignState::PlateVoltageFullscale,
                                                           &DesignState::PlateCurrentFullscale,
                                                           &DesignState::GridVoltageMostPos,
                                                           &DesignState::GridVoltageMostNeg,
                                                           &DesignState::GridVoltageStep,
                                                           &DesignState::Mu,
                                                           &DesignState::Ex,
                                                           &DesignState::Kg1,
                                                           &DesignState::Kp,
                                                           &DesignState::Kvb};

// Takes the next Single from the input; zero once the input is used up.
float NextSingle(std::string_view& input) {
    std::uint32_t bits = 0;
    const std::size_t taken = std::min(input.size(), sizeof bits);
    std::memcpy(&bits, input.data(), taken);
    input.remove_prefix(taken);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

int DesignRoundTrip(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    DesignState written;
    for (const auto field : kReadFields) {
        written.*field = NextSingle(input);
    }
    written.Dissipation = NextSingle(input);
    // The rest is the saved path and the date text, split at the first 0xFF byte.
    const std::size_t split = std::min(input.find('\xff'), input.size());
    const std::string_view path = input.substr(0, split);
    const std::string_view date = input.substr(std::min(split + 1, input.size()));
    const auto what = [&] { return "writing " + Printable(data, size); };

    const std::string text = DesignFileText(written, path, date);
    const auto count = [&](char c) { return std::count(text.begin(), text.end(), c); };
    VALVIX_FUZZ_CHECK(count('\n') == 18 && count('\r') == 18 && text.ends_with("\r\n\r\n"),
                      what() + " does not give 18 CR LF lines");
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         end = text.find('\n', end + 1)) {
        VALVIX_FUZZ_CHECK(end > 0 && text[end - 1] == '\r', what() + " has a lone LF");
    }

    DesignState read;
    read.Dissipation = -99.5f;
    VALVIX_FUZZ_CHECK(ReadDesignText(text, read), what() + " fails to read back");
    VALVIX_FUZZ_CHECK(read.Dissipation == -99.5f, what() + " changes Dissipation");
    for (std::size_t i = 0; i < kReadFields.size(); ++i) {
        const float before = written.*kReadFields[i];
        const float after = read.*kReadFields[i];
        if (!std::isfinite(before)) {
            VALVIX_FUZZ_CHECK(after == 0, what() + ": field " + std::to_string(i) + " written as " +
                                              Exact(before) + " reads as " + Exact(after));
            continue;
        }
        const float magnitude = std::fabs(before);
        const double ulp =
            std::nextafter(magnitude, std::numeric_limits<float>::infinity()) - magnitude;
        VALVIX_FUZZ_CHECK(std::fabs(static_cast<double>(after) - before) <=
                              5.000001e-7 * magnitude + ulp,
                          what() + ": field " + std::to_string(i) + " written as " + Exact(before) +
                              " reads as " + Exact(after));
    }
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::DesignRoundTrip)
