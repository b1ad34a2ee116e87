#include "state/ValueRules.h"

#include <array>
#include <limits>

namespace valvix {

namespace {

constexpr float kAny = std::numeric_limits<float>::infinity();

const std::array<ValueRule, 11> kRules{{
    {"Dissipation", &Design::Dissipation, -kAny, kAny, false, nullptr, "", std::nullopt},
    {"Ex", &Design::Ex, 1, 100, false, nullptr,
     "The value of the exponent must be between 1 and 100; typical value is 1.3",
     ParameterControls{1.01, HelpTopic::Exponent}},
    {"GridVoltageMostPos", &Design::GridVoltageMostPos, -1000, 1000, false, nullptr,
     "Most positive grid voltage must be between -1000 and +1000", std::nullopt},
    {"GridVoltageMostNeg", &Design::GridVoltageMostNeg, -1000, 0, false,
     &Design::GridVoltageMostPos,
     "Most negative grid voltage must be more negative than the most positive grid voltage "
     "but greater than -1000",
     std::nullopt},
    {"GridVoltageStep", &Design::GridVoltageStep, 0.1f, 1000, false, nullptr,
     "The grid voltage step must be greater than .1 and less than 1000", std::nullopt},
    {"Kg1", &Design::Kg1, 0.001f, 100000, false, nullptr,
     "The value for Kg1 must be greater than .001 and less than 100000",
     ParameterControls{1.01, HelpTopic::Kg1}},
    {"Kp", &Design::Kp, 1, 10000, false, nullptr, "The value for Kp must be between 1 and 10000",
     ParameterControls{1.03, HelpTopic::Kp}},
    {"Kvb", &Design::Kvb, 0, 10000000, true, nullptr,
     "The value for Kvb must be greater than 0 and less than 10000000",
     ParameterControls{1.1, HelpTopic::Kvb}},
    {"Mu", &Design::Mu, 1, 100000, false, nullptr,
     "The value for Mu must be greater than 1 and less than 100000",
     ParameterControls{1.01, HelpTopic::Mu}},
    {"PlateVoltageFullscale", &Design::PlateVoltageFullscale, 1, 1000000, false, nullptr,
     "The value for Plate voltage full scale must be greater than 1 and less than 1000000",
     std::nullopt},
    {"PlateCurrentFullscale", &Design::PlateCurrentFullscale, 0.001f, 10000, false, nullptr,
     "The value for Plate current full scale must be greater than 1mA and less than 10000 "
     "amperes",
     std::nullopt},
}};

} // namespace

std::span<const ValueRule> ValueRules() {
    return kRules;
}

const ValueRule* RuleFor(float Design::*field) {
    for (const ValueRule& rule : kRules) {
        if (rule.field == field) {
            return &rule;
        }
    }
    return nullptr;
}

bool Accepted(const ValueRule& rule, const Design& design) {
    if (rule.message.empty()) {
        return true;
    }
    const float value = design.*rule.field;
    const float high = rule.highFrom != nullptr ? design.*rule.highFrom : rule.high;
    const bool aboveLow = rule.lowExcluded ? value > rule.low : value >= rule.low;
    return aboveLow && value <= high;
}

const ValueRule* FirstRefused(const Design& design, RuleFilter keep) {
    for (const ValueRule& rule : kRules) {
        if (keep(rule) && !Accepted(rule, design)) {
            return &rule;
        }
    }
    return nullptr;
}

bool IsModelParameter(const ValueRule& rule) {
    return rule.parameter.has_value();
}

bool IsFitValue(const ValueRule& rule) {
    return rule.field != &Design::Dissipation;
}

} // namespace valvix
