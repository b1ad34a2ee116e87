// DesignFileText with any values, saved path and date text, read back by ReadDesignText:
// the text has exactly 18 lines, all CR LF, and the read succeeds and restores each of
// the 14 fields within the 7 significant digits written (a NaN or infinity comes back
// as 0). Dissipation, written on line 17, is never read.

#include "FuzzTargets.h"

#include "state/DesignFile.h"
#include "support/DesignFileChecks.h"

#include <cmath>
#include <limits>

namespace valvix::fuzz {

int DesignRoundTrip(const std::uint8_t* data, std::size_t size) {
    using checks::kReadFields;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    checks::Values values;
    for (float& value : values) {
        value = Take<float>(input);
    }
    const DesignState written = checks::With(values, Take<float>(input));
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

    DesignState read = checks::Sentinel();
    VALVIX_FUZZ_CHECK(ReadDesignText(text, read), what() + " fails to read back");
    const std::string changed = checks::OthersChanged(read);
    VALVIX_FUZZ_CHECK(changed.empty(), what() + ": " + changed);
    for (std::size_t i = 0; i < kReadFields.size(); ++i) {
        const float before = values[i];
        const float after = read.*kReadFields[i];
        const bool finite = std::isfinite(before);
        const float magnitude = finite ? std::fabs(before) : 0;
        const double ulp =
            std::nextafter(magnitude, std::numeric_limits<float>::infinity()) - magnitude;
        const double allowed = finite ? 5.000001e-7 * magnitude + ulp : 0;
        VALVIX_FUZZ_CHECK(std::fabs(after - (finite ? before : 0.0)) <= allowed,
                          what() + ": field " + std::to_string(i) + " written as " + Exact(before) +
                              " reads as " + Exact(after));
    }
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::DesignRoundTrip)
