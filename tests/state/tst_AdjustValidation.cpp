#include "state/AdjustValidation.h"
#include "support/SampleDesign.h"

#include <QtTest>

#include <cmath>

using namespace valvix;
using namespace valvix::test;

namespace {

constexpr float kInf = INFINITY;

} // namespace

class tst_AdjustValidation final : public QObject {
    Q_OBJECT
private slots:
    // The Adjust window's rules in order: field, message, both ends of the accepted range
    // with the Singles just outside them.
    void adjustRules() {
        // clang-format off
        const std::tuple<float D::*, float, float, const char*> kRules[] = {
            {&D::Dissipation, -kInf, kInf, ""},
            {&D::Ex, 1, 100, "The value of the exponent must be between 1 and 100; typical value is 1.3"},
            {&D::GridVoltageMostPos, -1000, 1000, "Most positive grid voltage must be between -1000 and +1000"},
            {&D::GridVoltageMostNeg, -1000, 5, "Most negative grid voltage must be more negative than the most "
                                               "positive grid voltage but greater than -1000"},
            {&D::GridVoltageStep, 0.1f, 1000, "The grid voltage step must be greater than .1 and less than 1000"},
            {&D::Kg1, 0.001f, 100000, "The value for Kg1 must be greater than .001 and less than 100000"},
            {&D::Kp, 1, 10000, "The value for Kp must be between 1 and 10000"},
            {&D::Kvb, 1e-45f, 1e7f, "The value for Kvb must be greater than 0 and less than 10000000"},
            {&D::Mu, 1, 100000, "The value for Mu must be greater than 1 and less than 100000"},
            {&D::PlateVoltageFullscale, 1, 1e6f,
             "The value for Plate voltage full scale must be greater than 1 and less than 1000000"},
            {&D::PlateCurrentFullscale, 0.001f, 10000,
             "The value for Plate current full scale must be greater than 1mA and less than 10000 amperes"}};
        // clang-format on
        QCOMPARE(AdjustRules().size(), std::size(kRules));
        for (std::size_t row = 0; row < std::size(kRules); ++row) {
            const auto& [field, low, high, message] = kRules[row];
            QVERIFY(AdjustRules()[row].value == field);
            QCOMPARE(std::string(AdjustRules()[row].message), std::string(message));
            Design d = SampleDesign();
            d.GridVoltageMostPos = 5;
            const auto accepted = [&, f = field](float value) {
                d.*f = value;
                return AdjustValueAccepted(row, d);
            };
            const bool outside = accepted(std::nextafter(low, -kInf)) || accepted(std::nextafter(high, kInf));
            QVERIFY2(accepted(low) && accepted(high) && !accepted(NAN) == (row != 0) && outside == (row == 0), message);
        }
    }
};

QTEST_APPLESS_MAIN(tst_AdjustValidation)
#include "tst_AdjustValidation.moc"
