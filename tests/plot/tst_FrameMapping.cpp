#include "plot/FrameMapping.h"

#include <QtTest>

using namespace valvix;

class tst_FrameMapping final : public QObject {
    Q_OBJECT
private slots:
    void voltsToX_data() {
        QTest::addColumn<double>("volts");
        QTest::addColumn<float>("x");
        QTest::addColumn<bool>("inside");
        QTest::newRow("0 V on the left edge") << 0.0 << 100.0f << false;
        QTest::newRow("half scale") << 250.0 << 350.0f << true;
        QTest::newRow("full scale on the right edge") << 500.0 << 600.0f << false;
    }
    void voltsToX() {
        QFETCH(double, volts);
        QFETCH(float, x);
        QFETCH(bool, inside);
        const FrameMapping frame(100, 600, 50, 350);
        QCOMPARE(frame.VoltsToX(volts, 500), x);
        QCOMPARE(frame.Inside(frame.VoltsToX(volts, 500), 200), inside);
    }

    void ampsToY_data() {
        QTest::addColumn<double>("amps");
        QTest::addColumn<float>("y");
        QTest::addColumn<bool>("inside");
        QTest::newRow("no current on the bottom edge is inside") << 0.0 << 350.0f << true;
        QTest::newRow("half scale") << 0.01 << 200.0f << true;
        QTest::newRow("full scale on the top edge") << 0.02 << 50.0f << false;
    }
    void ampsToY() {
        QFETCH(double, amps);
        QFETCH(float, y);
        QFETCH(bool, inside);
        const FrameMapping frame(100, 600, 50, 350);
        QCOMPARE(frame.AmpsToY(amps, 0.02), y);
        QCOMPARE(frame.Inside(300, frame.AmpsToY(amps, 0.02)), inside);
    }

    void roundTrip() {
        const FrameMapping frame(465, 5910, 210, 3690);
        for (double v : {0.0, 1.5, 123.4, 299.9, 300.0}) {
            QVERIFY(qAbs(frame.XToVolts(frame.VoltsToX(v, 300), 300) - v) < 1e-4 * 300);
        }
        for (double i : {0.0, 0.0001, 0.0025, 0.005}) {
            QVERIFY(qAbs(frame.YToAmps(frame.AmpsToY(i, 0.005), 0.005) - i) < 1e-4 * 0.005);
        }
    }

    void plottingPassStoresFrameSize() {
        DesignState design;
        design.Xleft = 465;
        design.Xright = 5910;
        design.Ytop = 210;
        design.Ybottom = 3690;
        const FrameMapping frame = FrameMapping::ForPlottingPass(design);
        QCOMPARE(design.PlotWidth, 5445.0f);
        QCOMPARE(design.PlotHeight, 3480.0f);
        QCOMPARE(frame.plotWidth(), 5445.0f);
    }

    void degenerateFramesAreNeverInside_data() {
        QTest::addColumn<float>("xleft");
        QTest::addColumn<float>("xright");
        QTest::addColumn<float>("ytop");
        QTest::addColumn<float>("ybottom");
        QTest::addColumn<double>("fullscaleVolts");
        QTest::addColumn<double>("fullscaleAmps");
        QTest::newRow("zero volts full scale") << 100.f << 600.f << 50.f << 350.f << 0.0 << 0.02;
        QTest::newRow("zero amps full scale") << 100.f << 600.f << 50.f << 350.f << 500.0 << 0.0;
        QTest::newRow("zero-width frame") << 300.f << 300.f << 50.f << 350.f << 500.0 << 0.02;
        QTest::newRow("zero-height frame") << 100.f << 600.f << 200.f << 200.f << 500.0 << 0.02;
        QTest::newRow("crossed frame") << 600.f << 100.f << 350.f << 50.f << 500.0 << 0.02;
        QTest::newRow("all zero") << 0.f << 0.f << 0.f << 0.f << 0.0 << 0.0;
    }
    void degenerateFramesAreNeverInside() {
        QFETCH(float, xleft);
        QFETCH(float, xright);
        QFETCH(float, ytop);
        QFETCH(float, ybottom);
        QFETCH(double, fullscaleVolts);
        QFETCH(double, fullscaleAmps);
        const FrameMapping frame(xleft, xright, ytop, ybottom);
        for (double v : {0.0, 1.0, 250.0, 499.0}) {
            for (double i : {0.0, 0.001, 0.01}) {
                const float x = frame.VoltsToX(v, fullscaleVolts);
                const float y = frame.AmpsToY(i, fullscaleAmps);
                QVERIFY2(!frame.Inside(x, y), qPrintable(QString("v=%1 i=%2").arg(v).arg(i)));
            }
        }
        // The inverses give a value (possibly not a number) without stopping.
        (void)frame.XToVolts(200, fullscaleVolts);
        (void)frame.YToAmps(200, fullscaleAmps);
    }
};

QTEST_APPLESS_MAIN(tst_FrameMapping)
#include "tst_FrameMapping.moc"
