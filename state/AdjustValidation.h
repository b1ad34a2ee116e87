#pragma once

#include "state/Design.h"

#include <array>
#include <string_view>

namespace valvix {

// One row of the Adjust window's validation: the design value its entry field is read
// into and the message shown when the value is refused.
struct AdjustRule {
    float Design::*value;
    std::string_view message;
};

// The rows in the order the fields are read and checked.
const std::array<AdjustRule, 11>& AdjustRules();

// Whether the value of the given row, already stored in the design, is accepted. The
// most negative grid voltage is checked against the most positive one in the design.
bool AdjustValueAccepted(std::size_t row, const Design& design);

} // namespace valvix
