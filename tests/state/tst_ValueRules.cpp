#include "fit/Solver.h"
#include "state/ValueRules.h"
#include "support/SampleDesign.h"

#include <QtTest>

#include <cmath>

using namespace valvix;
using namespace valvix::test;

namespace {

constexpr float kInf = INFINITY;

} // namespace

class tst_ValueRules final : public QObject {
    Q_OBJECT
private slots:
    // The Adjust window's rules in order: name, field, message, both ends of the accepted
    // range with the Singles just outside them, and a model parameter's Up/Down factor
    // and help window.
    void rules() {
        using H = HelpTopic;
        // clang-format off
        const std::tuple<const char*, float D::*, float, float, const char*, double, int> kRules[] = {
            {"Dissipation", &D::Dissipation, -kInf, kInf, "", 0, -1},
            {"Ex", &D::Ex, 1, 100, "The value of the exponent must be between 1 and 100; typical value is 1.3", 1.01, int(H::Exponent)},
            {"GridVoltageMostPos", &D::GridVoltageMostPos, -1000, 1000, "Most positive grid voltage must be between -1000 and +1000", 0, -1},
            {"GridVoltageMostNeg", &D::GridVoltageMostNeg, -1000, 5, "Most negative grid voltage must be more negative than the most "
                                                                     "positive grid voltage but greater than -1000", 0, -1},
            {"GridVoltageStep", &D::GridVoltageStep, 0.1f, 1000, "The grid voltage step must be greater than .1 and less than 1000", 0, -1},
            {"Kg1", &D::Kg1, 0.001f, 100000, "The value for Kg1 must be greater than .001 and less than 100000", 1.01, int(H::Kg1)},
            {"Kp", &D::Kp, 1, 10000, "The value for Kp must be between 1 and 10000", 1.03, int(H::Kp)},
            {"Kvb", &D::Kvb, 1e-45f, 1e7f, "The value for Kvb must be greater than 0 and less than 10000000", 1.1, int(H::Kvb)},
            {"Mu", &D::Mu, 1, 100000, "The value for Mu must be greater than 1 and less than 100000", 1.01, int(H::Mu)},
            {"PlateVoltageFullscale", &D::PlateVoltageFullscale, 1, 1e6f,
             "The value for Plate voltage full scale must be greater than 1 and less than 1000000", 0, -1},
            {"PlateCurrentFullscale", &D::PlateCurrentFullscale, 0.001f, 10000,
             "The value for Plate current full scale must be greater than 1mA and less than 10000 amperes", 0, -1}};
        // clang-format on
        QCOMPARE(ValueRules().size(), std::size(kRules));
        for (std::size_t row = 0; row < std::size(kRules); ++row) {
            const auto& [name, field, low, high, message, factor, help] = kRules[row];
            const ValueRule& rule = ValueRules()[row];
            QVERIFY(rule.name == name && rule.field == field && RuleFor(field) == &rule);
            QCOMPARE(std::string(rule.message), std::string(message));
            QVERIFY(IsModelParameter(rule) == (factor > 0) && IsFitValue(rule) == (row > 0));
            QVERIFY(!rule.parameter || (rule.parameter->stepFactor == factor && int(rule.parameter->help) == help));
            Design d = SampleDesign();
            d.GridVoltageMostPos = 5;
            const auto accepted = [&, f = field, &r = rule](float value) {
                d.*f = value;
                return Accepted(r, d);
            };
            const bool outside = accepted(std::nextafter(low, -kInf)) || accepted(std::nextafter(high, kInf));
            QVERIFY2(accepted(low) && accepted(high) && !accepted(NAN) == (row != 0) && outside == (row == 0), message);
        }
    }

    // The first refused value among those a filter keeps; the fit's bounds are the
    // parameters' ranges (Kvb's open end at a thousandth), in Mu, Ex, Kg1, Kp, Kvb order.
    void filtersAndFitBounds() {
        Design d = SampleDesign();
        d.PlateVoltageFullscale = 0, d.Kp = 0, d.Mu = 0;
        QCOMPARE(std::string(FirstRefused(d, IsModelParameter)->name), "Kp");
        QCOMPARE(std::string(FirstRefused(d, IsFitValue)->name), "Kp");
        d.Kp = 600, d.Mu = 100;
        QCOMPARE(std::string(FirstRefused(d, IsFitValue)->name), "PlateVoltageFullscale");
        QVERIFY(FirstRefused(d, IsModelParameter) == nullptr);
        const double lower[] = {1, 1, 0.001, 1, 0.001}, upper[] = {100000, 100, 100000, 10000, 10000000};
        for (int i = 0; i < 5; ++i)
            QVERIFY(qFuzzyCompare(fit::LowerBound(i), std::log(double(float(lower[i])))) &&
                    qFuzzyCompare(fit::UpperBound(i), std::log(upper[i])));
    }
};

QTEST_APPLESS_MAIN(tst_ValueRules)
#include "tst_ValueRules.moc"
