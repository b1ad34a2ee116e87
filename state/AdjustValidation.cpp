#include "state/AdjustValidation.h"

namespace valvix {

const std::array<AdjustRule, 11>& AdjustRules() {
    static const std::array<AdjustRule, 11> rules{{
        {&Design::Dissipation, ""},
        {&Design::Ex, "The value of the exponent must be between 1 and 100; typical value is 1.3"},
        {&Design::GridVoltageMostPos, "Most positive grid voltage must be between -1000 and +1000"},
        {&Design::GridVoltageMostNeg,
         "Most negative grid voltage must be more negative than the most positive grid voltage "
         "but greater than -1000"},
        {&Design::GridVoltageStep,
         "The grid voltage step must be greater than .1 and less than 1000"},
        {&Design::Kg1, "The value for Kg1 must be greater than .001 and less than 100000"},
        {&Design::Kp, "The value for Kp must be between 1 and 10000"},
        {&Design::Kvb, "The value for Kvb must be greater than 0 and less than 10000000"},
        {&Design::Mu, "The value for Mu must be greater than 1 and less than 100000"},
        {&Design::PlateVoltageFullscale,
         "The value for Plate voltage full scale must be greater than 1 and less than 1000000"},
        {&Design::PlateCurrentFullscale,
         "The value for Plate current full scale must be greater than 1mA and less than 10000 "
         "amperes"},
    }};
    return rules;
}

namespace {

bool Within(float value, float low, float high) {
    return value >= low && value <= high;
}

} // namespace

bool AdjustValueAccepted(std::size_t row, const Design& d) {
    switch (row) {
    case 0:
        return true;
    case 1:
        return Within(d.Ex, 1, 100);
    case 2:
        return Within(d.GridVoltageMostPos, -1000, 1000);
    case 3:
        return Within(d.GridVoltageMostNeg, -1000, d.GridVoltageMostPos);
    case 4:
        return Within(d.GridVoltageStep, 0.1f, 1000);
    case 5:
        return Within(d.Kg1, 0.001f, 100000);
    case 6:
        return Within(d.Kp, 1, 10000);
    case 7:
        return d.Kvb > 0 && d.Kvb <= 10000000;
    case 8:
        return Within(d.Mu, 1, 100000);
    case 9:
        return Within(d.PlateVoltageFullscale, 1, 1000000);
    case 10:
        return Within(d.PlateCurrentFullscale, 0.001f, 10000);
    default:
        return false;
    }
}

} // namespace valvix
