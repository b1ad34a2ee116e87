// ReadDesignText takes any bytes. It only assigns the 14 values it reads by position,
// in file order, each a finite Single; every other field stays exactly as it was. The
// kind of line ends does not matter, since blank lines are skipped.

#include "FuzzTargets.h"

#include "state/DesignFile.h"
#include "support/DesignFileChecks.h"

#include <cmath>
#include <limits>

namespace valvix::fuzz {

int DesignText(const std::uint8_t* data, std::size_t size) {
    using checks::kReadFields;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto input = [&] { return " reading " + Printable(data, size); };

    // No read produces a NaN, so the NaNs left show which fields were not assigned.
    const DesignState before = checks::Sentinel(std::numeric_limits<float>::quiet_NaN());
    DesignState after = before;
    const bool ok = ReadDesignText(text, after);
    const std::string changed = checks::OthersChanged(after);
    VALVIX_FUZZ_CHECK(changed.empty(), changed + input());
    std::size_t assigned = 0;
    while (assigned < kReadFields.size() && !std::isnan(after.*kReadFields[assigned])) {
        ++assigned;
    }
    for (std::size_t i = 0; i < kReadFields.size(); ++i) {
        const float value = after.*kReadFields[i];
        VALVIX_FUZZ_CHECK(i < assigned ? std::isfinite(value) : std::isnan(value),
                          "field " + std::to_string(i) + " became " + Exact(value) + input());
    }
    VALVIX_FUZZ_CHECK(ok || assigned < kReadFields.size(),
                      "a failed read assigned all 14 fields" + input());

    // Every CR turned into LF: the same non-empty lines, some more blank ones.
    std::string unixText(text);
    std::replace(unixText.begin(), unixText.end(), '\r', '\n');
    DesignState unixDesign = before;
    VALVIX_FUZZ_CHECK(ReadDesignText(unixText, unixDesign) == ok,
                      "the result depends on the line ends" + input());
    for (std::size_t i = 0; i < kReadFields.size(); ++i) {
        const float a = after.*kReadFields[i];
        const float b = unixDesign.*kReadFields[i];
        VALVIX_FUZZ_CHECK(SameBits(a, b), "field " + std::to_string(i) + " is " + Exact(a) +
                                              " but " + Exact(b) + " with LF line ends" + input());
    }
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::DesignText)
