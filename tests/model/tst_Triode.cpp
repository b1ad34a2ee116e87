#include "model/Triode.h"

#include <QtTest>

#include <limits>
#include <vector>

using namespace valvix;

namespace {

const TriodeParameters kExample{10, 1.5f, 1000, 300, 300};
const TriodeParameters k12AX7{100, 1.4f, 1060, 600, 300};
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct WalkCounts {
    int samples = 0;
    int columns = 0;
    int curves = 0; // grid voltages in the first column
    float lastVp = -1;
};

WalkCounts Walk(const CurveFamily& family, const TriodeParameters& p = kExample) {
    WalkCounts counts;
    float lastGood = 0;
    CurveFamilyWalk(family, p, lastGood, [&](const FamilySample& s) {
        ++counts.samples;
        if (s.Vp != counts.lastVp) {
            ++counts.columns;
            counts.lastVp = s.Vp;
        }
        if (counts.columns == 1) {
            ++counts.curves;
        }
    });
    return counts;
}

} // namespace

class tst_Triode final : public QObject {
    Q_OBJECT
private slots:
    void workedExample() {
        const PlatePoint point = EvaluatePlatePoint(250, -5, kExample);
        QVERIFY(point.ok);
        QVERIFY(qAbs(point.E1 - 20.01f) < 0.01f);
        QVERIFY(qAbs(point.Ip - 0.179f) < 0.0005f);
    }

    void zeroPlateVoltageGivesNoCurrent_data() {
        QTest::addColumn<float>("vg");
        QTest::newRow("positive grid") << 5.0f;
        QTest::newRow("zero grid") << 0.0f;
        QTest::newRow("negative grid") << -50.0f;
    }
    void zeroPlateVoltageGivesNoCurrent() {
        QFETCH(float, vg);
        const PlatePoint point = EvaluatePlatePoint(0, vg, k12AX7);
        QVERIFY(point.ok);
        QCOMPARE(point.E1, 0.0f);
        QCOMPARE(point.Ip, 0.0f);
    }

    void underflowIsNoFailure() {
        // a is far below -745: the exponential underflows to 0 and so does the current.
        float lastGood = 0.5f;
        QCOMPARE(PlateCurrent(10, -1000, kExample, lastGood), 0.0f);
        QCOMPARE(lastGood, 0.0f);
    }

    void failedPointKeepsLastGoodCurrent_data() {
        QTest::addColumn<float>("mu");
        QTest::addColumn<float>("kp");
        QTest::addColumn<float>("kg1");
        QTest::addColumn<float>("vg");
        QTest::newRow("exponential overflow") << 100.0f << 10000.0f << 1000.0f << 10.0f;
        QTest::newRow("mu zero") << 0.0f << 300.0f << 1000.0f << -1.0f;
        QTest::newRow("kp zero") << 100.0f << 0.0f << 1000.0f << -1.0f;
        QTest::newRow("kg1 zero") << 100.0f << 300.0f << 0.0f << -1.0f;
    }
    void failedPointKeepsLastGoodCurrent() {
        QFETCH(float, mu);
        QFETCH(float, kp);
        QFETCH(float, kg1);
        QFETCH(float, vg);
        const TriodeParameters p{mu, 1.4f, kg1, kp, 300};
        QVERIFY(!EvaluatePlatePoint(1, vg, p).ok);
        float lastGood = 0.0123f;
        QCOMPARE(PlateCurrent(1, vg, p, lastGood), 0.0123f);
        QCOMPARE(lastGood, 0.0123f);
    }

    void columnCounts_data() {
        QTest::addColumn<float>("fullscale");
        QTest::addColumn<int>("columns");
        QTest::addColumn<float>("lastVp");
        QTest::newRow("250 V reaches full scale") << 250.0f << 1001 << 250.0f;
        QTest::newRow("300 V stops just short") << 300.0f << 1000 << 299.7f;
    }
    void columnCounts() {
        QFETCH(float, fullscale);
        QFETCH(int, columns);
        QFETCH(float, lastVp);
        const WalkCounts counts = Walk({fullscale, 0, 0, 1});
        QCOMPARE(counts.columns, columns);
        QVERIFY(qAbs(counts.lastVp - lastVp) < 0.01f);
    }

    void gridVoltagesAndPens() {
        std::vector<float> grids;
        std::vector<int> pens;
        float lastGood = 0;
        CurveFamilyWalk(CurveFamily{250, 0, -10, 2}, kExample, lastGood,
                        [&](const FamilySample& s) {
                            if (s.Vp == 0) {
                                grids.push_back(s.Vg);
                                pens.push_back(s.PenWidth);
                            }
                        });
        QCOMPARE(grids, (std::vector<float>{0, -2, -4, -6, -8, -10}));
        QCOMPARE(pens, (std::vector<int>{3, 2, 2, 2, 2, 2}));
    }

    void oneCurveWhenEndsMeet() { QCOMPARE(Walk({250, -3, -3, 1}).curves, 1); }

    void walkEndsForEveryInput_data() {
        QTest::addColumn<float>("fullscale");
        QTest::addColumn<float>("pos");
        QTest::addColumn<float>("neg");
        QTest::addColumn<float>("step");
        QTest::newRow("zero full scale") << 0.0f << 0.0f << -10.0f << 2.0f;
        QTest::newRow("negative full scale") << -5.0f << 0.0f << -10.0f << 2.0f;
        QTest::newRow("undefined full scale") << kNaN << 0.0f << -10.0f << 2.0f;
        QTest::newRow("infinite full scale") << kInf << 0.0f << -10.0f << 2.0f;
        QTest::newRow("subnormal full scale") << 1e-42f << 0.0f << -10.0f << 2.0f;
        QTest::newRow("zero grid step") << 250.0f << 0.0f << -10.0f << 0.0f;
        QTest::newRow("negative grid step") << 250.0f << 0.0f << -10.0f << -2.0f;
        QTest::newRow("undefined grid step") << 250.0f << 0.0f << -10.0f << kNaN;
        QTest::newRow("step too small to move") << 250.0f << 1000.0f << -1000.0f << 1e-30f;
        QTest::newRow("infinite grid start") << 250.0f << kInf << -10.0f << 2.0f;
        QTest::newRow("grid range never reached") << 250.0f << 0.0f << -kInf << 2.0f;
        QTest::newRow("far too many curves") << 250.0f << 1e30f << -1e30f << 1.0f;
    }
    void walkEndsForEveryInput() {
        QFETCH(float, fullscale);
        QFETCH(float, pos);
        QFETCH(float, neg);
        QFETCH(float, step);
        // The walk must return; whatever it yields is bounded by the largest valid family.
        const WalkCounts counts = Walk({fullscale, pos, neg, step});
        QVERIFY(counts.samples <= 1002 * 20001);
    }

    void dissipationWalk_data() {
        QTest::addColumn<float>("watts");
        QTest::addColumn<float>("fullscale");
        QTest::addColumn<int>("samples");
        QTest::newRow("no dissipation") << 0.0f << 300.0f << 0;
        QTest::newRow("negative dissipation") << -1.0f << 300.0f << 0;
        QTest::newRow("zero full scale") << 1.0f << 0.0f << 0;
        QTest::newRow("one watt over 250 V") << 1.0f << 250.0f << 991;
    }
    void dissipationWalk() {
        QFETCH(float, watts);
        QFETCH(float, fullscale);
        QFETCH(int, samples);
        int count = 0;
        bool onCurve = true;
        DissipationWalk(watts, fullscale, [&](const DissipationSample& s) {
            ++count;
            onCurve = onCurve && qAbs(s.Ip * s.Vp - watts) < 1e-5f;
            if (count == 1) {
                QCOMPARE(s.Vp, fullscale / 100);
            }
        });
        QCOMPARE(count, samples);
        QVERIFY(onCurve);
    }
};

QTEST_APPLESS_MAIN(tst_Triode)
#include "tst_Triode.moc"
