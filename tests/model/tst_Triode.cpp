#include "model/Triode.h"

#include <QtTest>

using namespace valvix;

namespace {

const TriodeParameters kWorked{10, 1.5f, 1000, 300, 300};
const TriodeParameters k12AX7{100, 1.4f, 1060, 600, 300};

// The plate voltages of a walk, and the grid voltages and pens of its first column.
QString Walk(const CurveFamily& family) {
    QStringList columns, grids;
    float lastGood = 0;
    CurveFamilyWalk(family, k12AX7, lastGood, [&](const FamilySample& s) {
        if (columns.isEmpty() || columns.back() != QString::number(s.Vp))
            columns << QString::number(s.Vp);
        if (columns.size() == 1)
            grids << QString("%1/%2").arg(s.Vg).arg(s.PenWidth);
        if (s.Ip != EvaluatePlatePoint(s.Vp, s.Vg, k12AX7).Ip)
            grids << "wrong current";
    });
    return QString("%1 columns %2 .. %3, grids %4")
        .arg(columns.size())
        .arg(columns.value(1), columns.value(columns.size() - 1), grids.join(' '));
}

} // namespace

class tst_Triode final : public QObject {
    Q_OBJECT
private slots:
    // E1 and the current are rounded to Singles: compared bit for bit.
    void plateCurrent() {
        // clang-format off
        const std::tuple<float, float, TriodeParameters, float, float> kPoints[] = {
            {250, -5, kWorked, 20.0119572f, 0.179045886f}, {150, 0, k12AX7, 1.50061893f, 0.00333044841f},
            {300, -4, k12AX7, 0.0642613694f, 4.04440034e-05f}, {100, -1, k12AX7, 0.12302126f, 0.000100391371f},
            {0.3f, 0, k12AX7, 0.00300123799f, 5.54555243e-07f}, {0, 5, k12AX7, 0, 0}, {10, -1000, kWorked, 0, 0}};
        // clang-format on
        for (const auto& [vp, vg, p, e1, ip] : kPoints) {
            const PlatePoint point = EvaluatePlatePoint(vp, vg, p);
            QVERIFY(point.ok && point.E1 == e1 && point.Ip == ip);
        }
    }

    // A point that fails (an overflow, or a zero parameter) gives the last good current.
    void failedPointKeepsLastGoodCurrent() {
        // clang-format off
        for (const TriodeParameters& p : {TriodeParameters{100, 1.4f, 1000, 10000, 300}, {0, 1.4f, 1000, 300, 300},
                                          {100, 1.4f, 1000, 0, 300}, {100, 1.4f, 0, 300, 300}, {100, 400, 1000, 300, 300}}) {
            // clang-format on
            float lastGood = 0.0123f;
            QVERIFY(!EvaluatePlatePoint(10, 10, p).ok && PlateCurrent(10, 10, p, lastGood) == 0.0123f &&
                    lastGood == 0.0123f);
        }
        float lastGood = 0.5f;
        QVERIFY(PlateCurrent(150, 0, k12AX7, lastGood) == 0.00333044841f && lastGood == 0.00333044841f);
    }

    // 1000 steps of plate voltage, both ends included unless the Single sum passes full
    // scale; grid voltages from the most positive down, the 0 V curve 3 pixels wide.
    void curveFamily() {
        QCOMPARE(Walk({250, 0, -10, 2}), "1001 columns 0.25 .. 250, grids 0/3 -2/2 -4/2 -6/2 -8/2 -10/2");
        QCOMPARE(Walk({300, 1, 1, 1}), "1000 columns 0.3 .. 299.7, grids 1/2");
        QVERIFY(FamilyIsWalkable({1, 20001, 0, 1}) && !FamilyIsWalkable({1, 20001.01f, 0, 1}));
        // clang-format off
        for (const CurveFamily& family : {CurveFamily{0, 0, -10, 1}, {-5, 0, -10, 1}, {NAN, 0, -10, 1}, {INFINITY, 0, -10, 1},
                 {250, 0, -10, 0}, {250, 0, -10, -2}, {250, 0, -10, NAN}, {250, INFINITY, -10, 1}, {250, 0, -INFINITY, 1}, {250, -3, -2, 1}})
            // clang-format on
            QCOMPARE(Walk(family), "0 columns  .. , grids ");
    }

    void dissipationWalk() {
        QStringList samples;
        DissipationWalk(1, 250, [&](const DissipationSample& s) { samples << QString("%1:%2").arg(s.Vp).arg(s.Ip); });
        QCOMPARE(samples.first() + " " + samples[1] + " " + samples.last() + " " + QString::number(samples.size()),
                 "2.5:0.4 2.75:0.363636 250:0.004 991");
        for (const auto& [watts, fullscale] :
             {std::pair{0.0f, 300.0f}, {-1.0f, 300.0f}, {NAN, 300.0f}, {1.0f, 0.0f}, {1.0f, NAN}})
            DissipationWalk(watts, fullscale, [](const DissipationSample&) { QFAIL("sampled"); });
    }
};

QTEST_APPLESS_MAIN(tst_Triode)
#include "tst_Triode.moc"
