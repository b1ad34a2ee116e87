#include "model/Triode.h"
#include "plot/FrameMapping.h"
#include "plot/OverlayPlot.h"
#include "support/RecordingSurface.h"
#include "support/SampleDesign.h"

#include <QtTest>

#include <set>

using namespace valvix;
using valvix::test::RecordingSurface;
using Kind = RecordingSurface::Kind;

class tst_OverlayPlot final : public QObject {
    Q_OBJECT
private slots:
    void dotsAreBlueAndStrictlyInside() {
        DesignState d = valvix::test::SampleDesign();
        RecordingSurface surface;
        OverlayPlot plot;
        plot.draw(surface, d);
        const auto dots = surface.ofKind(Kind::Dot);
        QVERIFY(dots.size() > 1000);
        for (const auto& dot : dots) {
            QCOMPARE(dot.colour, kBlue);
            QVERIFY(dot.a.y > d.Ytop && dot.a.x > d.Xleft && dot.a.x < d.Xright);
        }
        QCOMPARE(d.PlotWidth, 5445.0f);
        QCOMPARE(d.PlotHeight, 3480.0f);
    }

    void zeroVoltCurveIsThick() {
        DesignState d = valvix::test::SampleDesign();
        RecordingSurface surface;
        OverlayPlot().draw(surface, d);
        // Every dot drawn 3 pixels wide is on the 0 V curve: the highest current at its x.
        const FrameMapping frame(d.Xleft, d.Xright, d.Ytop, d.Ybottom);
        const TriodeParameters p = ParametersOf(d);
        int thick = 0;
        for (const auto& dot : surface.ofKind(Kind::Dot)) {
            QVERIFY(dot.pen == 2 || dot.pen == 3);
            if (dot.pen == 3) {
                ++thick;
                const float vp = frame.XToVolts(dot.a.x, 300);
                const float ip = EvaluatePlatePoint(vp, 0, p).Ip;
                QVERIFY(qAbs(frame.AmpsToY(ip, 0.005) - dot.a.y) < 2);
            }
        }
        QVERIFY(thick > 100);
        // The pass leaves the pen of its last sample, the -10 V curve.
        QCOMPARE(surface.penWidth(), 2);
    }

    void sixGridVoltagesFromZeroToMinusTen() {
        DesignState d = valvix::test::SampleDesign();
        std::set<float> grids;
        float lastGood = 0;
        CurveFamilyWalk(CurveFamily{300, 0, -10, 2}, ParametersOf(d), lastGood,
                        [&](const FamilySample& s) { grids.insert(s.Vg); });
        QCOMPARE(grids.size(), std::size_t(6));
    }

    void dissipationUsesThePenTheFamilyLeft_data() {
        QTest::addColumn<float>("mostNeg");
        QTest::addColumn<int>("pen");
        QTest::newRow("family ends at -10 V") << -10.0f << 2;
        QTest::newRow("family ends at 0 V") << 0.0f << 3;
    }
    void dissipationUsesThePenTheFamilyLeft() {
        QFETCH(float, mostNeg);
        QFETCH(int, pen);
        DesignState d = valvix::test::SampleDesign();
        d.GridVoltageMostPos = 0;
        d.GridVoltageMostNeg = mostNeg;
        d.Dissipation = 0.5f;
        RecordingSurface surface;
        OverlayPlot().draw(surface, d);
        int red = 0;
        for (const auto& dot : surface.ofKind(Kind::Dot)) {
            if (dot.colour == kRed) {
                ++red;
                QCOMPARE(dot.pen, pen);
                QVERIFY(dot.a.y > d.Ytop);
            }
        }
        QVERIFY(red > 100);
    }

    void noDissipationNoRedDots() {
        DesignState d = valvix::test::SampleDesign();
        RecordingSurface surface;
        OverlayPlot().draw(surface, d);
        for (const auto& dot : surface.ofKind(Kind::Dot)) {
            QVERIFY(!(dot.colour == kRed));
        }
    }

    void frameUsesCurrentPen() {
        DesignState d = valvix::test::SampleDesign();
        RecordingSurface surface;
        DrawPlotFrame(surface, d);
        OverlayPlot().draw(surface, d);
        DrawPlotFrame(surface, d);
        const auto frames = surface.ofKind(Kind::Rectangle);
        QCOMPARE(frames.size(), std::size_t(2));
        QCOMPARE(frames[0].pen, 1);
        QCOMPARE(frames[1].pen, 2);
        QCOMPARE(frames[1].colour, kBlue);
        QCOMPARE(frames[1].a, (PointF{465, 210}));
        QCOMPARE(frames[1].b, (PointF{5910, 3690}));
    }

    void problemsAreNamed_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("words");
        QTest::newRow("fine") << "none" << 0.0f << "";
        QTest::newRow("volts full scale 0") << "fsv" << 0.0f << "plate voltage full scale";
        QTest::newRow("amps full scale 0") << "fsi" << 0.0f << "plate current full scale";
        QTest::newRow("grid step 0") << "step" << 0.0f << "grid voltage step";
        QTest::newRow("mu 0") << "mu" << 0.0f << "Mu, Kp and Kg1";
        QTest::newRow("crossed frame") << "xright" << 100.0f << "plot frame";
        QTest::newRow("tiny grid step") << "step" << 1e-6f << "too many curves";
    }
    void problemsAreNamed() {
        QFETCH(QString, field);
        QFETCH(float, value);
        QFETCH(QString, words);
        DesignState d = valvix::test::SampleDesign();
        if (field == "fsv")
            d.PlateVoltageFullscale = value;
        if (field == "fsi")
            d.PlateCurrentFullscale = value;
        if (field == "step")
            d.GridVoltageStep = value;
        if (field == "mu")
            d.Mu = value;
        if (field == "xright")
            d.Xright = value;
        const QString problem = QString::fromStdString(DescribePlotProblem(d));
        QCOMPARE(problem.isEmpty(), words.isEmpty());
        QVERIFY2(problem.contains(words, Qt::CaseInsensitive), qPrintable(problem));
        // Whatever is wrong, a pass ends and draws nothing outside the frame.
        RecordingSurface surface;
        OverlayPlot().draw(surface, d);
    }
};

QTEST_APPLESS_MAIN(tst_OverlayPlot)
#include "tst_OverlayPlot.moc"
