#pragma once

#include "state/Design.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace valvix {

// The help windows of the program: one for each model parameter's "H" button and one for
// lining up the chart picture.
enum class HelpTopic { Kvb, Exponent, Mu, Kg1, Kp, Graphic };

// What a model parameter has beyond its check: the factor its Up and Down buttons
// multiply or divide it by, and its help window.
struct ParameterControls {
    double stepFactor;
    HelpTopic help;
};

// One value of the design the Adjust window reads from its field and checks: its name
// (the field is "txt" and the name), the accepted range with both ends allowed (the low
// end left out where lowExcluded; the high end taken from another value of the design
// where highFrom is set), and the message shown when the value is refused. A rule
// without a message accepts every value. The five model parameters carry their controls.
struct ValueRule {
    std::string_view name;
    float Design::*field;
    float low;
    float high;
    bool lowExcluded = false;
    float Design::*highFrom = nullptr;
    std::string_view message;
    std::optional<ParameterControls> parameter;
};

// Every checked value in the order the Adjust window reads and checks them; the first
// refused one is the one reported.
std::span<const ValueRule> ValueRules();

// The rule for the design value, or nothing for a value no rule checks.
const ValueRule* RuleFor(float Design::*field);

// Whether the rule accepts its value as the design now holds it.
bool Accepted(const ValueRule& rule, const Design& design);

// The first rule the design's values break among those the filter keeps, or nothing.
using RuleFilter = bool (*)(const ValueRule& rule);
const ValueRule* FirstRefused(const Design& design, RuleFilter keep);

// Filters: the five model parameters; every value a fit needs (all but the plate
// dissipation).
bool IsModelParameter(const ValueRule& rule);
bool IsFitValue(const ValueRule& rule);

} // namespace valvix
