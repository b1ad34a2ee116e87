#include "model/Triode.h"

#include <QtTest>

#include <vector>

using namespace valvix;

namespace {

const TriodeParameters kWorked{10, 1.5f, 1000, 300, 300};
const TriodeParameters k12AX7{100, 1.4f, 1060, 600, 300};

struct Point {
    float vp, vg;
    TriodeParameters p;
    float e1, ip;
};
// clang-format off
const Point kPoints[] = {
    {250, -5, kWorked, 20.0119572f, 0.179045886f}, {150, 0, k12AX7, 1.50061893f, 0.00333044841f},
    {300, -4, k12AX7, 0.0642613694f, 4.04440034e-05f}, {100, -1, k12AX7, 0.12302126f, 0.000100391371f},
    {0.3f, 0, k12AX7, 0.00300123799f, 5.54555243e-07f}, {0, 5, k12AX7, 0, 0}, {0, -50, k12AX7, 0, 0},
    {10, -1000, kWorked, 0, 0}}; // e to a underflows: no failure
// clang-format on

struct Walked {
    std::vector<float> columns; // plate voltages
    std::vector<float> grids;   // grid voltages of the first column
    std::vector<int> pens;
};
Walked Walk(const CurveFamily& family) {
    Walked walked;
    float lastGood = 0;
    CurveFamilyWalk(family, k12AX7, lastGood, [&](const FamilySample& s) {
        if (walked.columns.empty() || walked.columns.back() != s.Vp)
            walked.columns.push_back(s.Vp);
        if (walked.columns.size() == 1) {
            walked.grids.push_back(s.Vg);
            walked.pens.push_back(s.PenWidth);
        }
        QCOMPARE(s.Ip, EvaluatePlatePoint(s.Vp, s.Vg, k12AX7).Ip);
    });
    return walked;
}

} // namespace

class tst_Triode final : public QObject {
    Q_OBJECT
private slots:
    // E1 and the current are rounded to Singles: compared bit for bit.
    void plateCurrent() {
        for (const auto& [vp, vg, p, e1, ip] : kPoints) {
            const PlatePoint point = EvaluatePlatePoint(vp, vg, p);
            QVERIFY(point.ok);
            QCOMPARE(point.E1, e1);
            QCOMPARE(point.Ip, ip);
        }
    }

    // A point that fails (an overflow, or a zero parameter) gives the last good current.
    void failedPointKeepsLastGoodCurrent() {
        for (const TriodeParameters& p :
             {TriodeParameters{100, 1.4f, 1000, 10000, 300},
              TriodeParameters{0, 1.4f, 1000, 300, 300}, TriodeParameters{100, 1.4f, 1000, 0, 300},
              TriodeParameters{100, 1.4f, 0, 300, 300},
              TriodeParameters{100, 400, 1000, 300, 300}}) {
            QVERIFY(!EvaluatePlatePoint(10, 10, p).ok);
            float lastGood = 0.0123f;
            QCOMPARE(PlateCurrent(10, 10, p, lastGood), 0.0123f);
            QCOMPARE(lastGood, 0.0123f);
        }
        float lastGood = 0.5f;
        QCOMPARE(PlateCurrent(150, 0, k12AX7, lastGood), 0.00333044841f);
        QCOMPARE(lastGood, 0.00333044841f);
    }

    void curveFamily() {
        const Walked at250 = Walk({250, 0, -10, 2});
        QCOMPARE(at250.columns.size(), std::size_t(1001));
        QCOMPARE(at250.columns.at(1), 0.25f);
        QCOMPARE(at250.columns.back(), 250.0f);
        QCOMPARE(at250.grids, (std::vector<float>{0, -2, -4, -6, -8, -10}));
        QCOMPARE(at250.pens, (std::vector<int>{3, 2, 2, 2, 2, 2}));
        const Walked at300 = Walk({300, 1, 1, 1}); // the sum passes 300 just before the end
        QCOMPARE(at300.columns.size(), std::size_t(1000));
        QCOMPARE(at300.columns.back(), 299.700745f);
        QCOMPARE(at300.pens, std::vector<int>{2});
        QVERIFY(Walk({250, -3, -2, 1}).columns.empty()); // most negative above most positive
    }

    // Families whose walk would never end, or end absurdly late, yield nothing.
    void walkable() {
        QVERIFY(FamilyIsWalkable({1, 1000, -1000, 0.1f})); // the largest valid family
        QVERIFY(FamilyIsWalkable({1e-30f, 0, 0, 1}));
        for (const CurveFamily& family :
             {CurveFamily{1, 1000, -1000, 0.0999f}, CurveFamily{0, 0, -10, 1},
              CurveFamily{-5, 0, -10, 1}, CurveFamily{NAN, 0, -10, 1},
              CurveFamily{INFINITY, 0, -10, 1}, CurveFamily{250, 0, -10, 0},
              CurveFamily{250, 0, -10, -2}, CurveFamily{250, 0, -10, NAN},
              CurveFamily{250, INFINITY, -10, 1}, CurveFamily{250, 0, -INFINITY, 1}}) {
            QVERIFY(!FamilyIsWalkable(family));
            QVERIFY(Walk(family).columns.empty());
        }
    }

    void dissipationWalk() {
        std::vector<DissipationSample> samples;
        DissipationWalk(1, 250, [&](const DissipationSample& s) { samples.push_back(s); });
        QCOMPARE(samples.size(), std::size_t(991));
        QCOMPARE(samples.front().Vp, 2.5f);
        QCOMPARE(samples.at(1).Vp, 2.75f);
        QCOMPARE(samples.front().Ip, 0.4f);
        QCOMPARE(samples.back().Ip, 1 / samples.back().Vp);
        QVERIFY(samples.back().Vp <= 250 && samples.back().Vp > 249.7f);
        for (const auto& [watts, fullscale] :
             {std::pair{0.0f, 300.0f}, {-1.0f, 300.0f}, {NAN, 300.0f}, {1.0f, 0.0f}, {1.0f, NAN}}) {
            DissipationWalk(watts, fullscale, [](const DissipationSample&) { QFAIL("sampled"); });
        }
    }
};

QTEST_APPLESS_MAIN(tst_Triode)
#include "tst_Triode.moc"
