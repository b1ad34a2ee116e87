#include "plot/Readouts.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace valvix;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr int kMiddleButton = 4;

// A frame 6000 wide and 4500 high as the last drawing left it, 300 V and 10 mA full
// scales, grid step 1 V.
DesignState Drawn() {
    DesignState d;
    d.Xleft = 600;
    d.Xright = 6600;
    d.Ytop = 300;
    d.Ybottom = 4800;
    d.PlotWidth = 6000;
    d.PlotHeight = 4500;
    d.ExamineVoltsFullscale = 300;
    d.ExamineAmpsFullscale = 0.01f;
    d.ExamineGridStep = 1;
    return d;
}

// The four label texts; "-" for a label that keeps its text.
QStringList Shown(const ReadoutTexts& texts) {
    QStringList shown;
    for (const auto* label : {&texts.deltaV, &texts.deltaI, &texts.mu, &texts.gm}) {
        shown << (*label ? QString::fromStdString(**label) : QStringLiteral("-"));
    }
    return shown;
}

} // namespace

class tst_Readouts final : public QObject {
    Q_OBJECT
private slots:
    void positionToValues_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<float>("volts");
        QTest::addColumn<float>("amps");
        QTest::newRow("chart's left edge and bottom") << 3600.0f << 4800.0f << 0.0f << 0.0f;
        QTest::newRow("middle") << 6600.0f << 2550.0f << 150.0f << 0.005f;
        QTest::newRow("top right corner") << 9600.0f << 300.0f << 300.0f << 0.01f;
        QTest::newRow("left of the chart") << 3000.0f << 4800.0f << -30.0f << 0.0f;
        QTest::newRow("below the chart") << 3600.0f << 5250.0f << 0.0f << -0.001f;
        QTest::newRow("beyond full scale") << 10800.0f << 0.0f << 360.0f << 0.010666667f;
    }
    void positionToValues() {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(float, volts);
        QFETCH(float, amps);
        const ChartPoint point = PositionToValues(x, y, Drawn());
        QCOMPARE(point.volts, volts);
        QCOMPARE(point.amps, amps);
    }

    void leftPressEmptiesTheLabels() {
        PointReadouts readouts;
        QCOMPARE(Shown(readouts.ShowReadouts(6600, 2550, 1, Drawn())),
                 (QStringList{"", "", "", ""}));
        QCOMPARE(readouts.FirstPoint().volts, 150.0f);
        QCOMPARE(readouts.FirstPoint().amps, 0.005f);
    }

    void rightPress_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<float>("gridStep");
        QTest::addColumn<float>("width"); // PlotWidth and PlotHeight at the right press
        QTest::addColumn<float>("height");
        QTest::addColumn<QStringList>("labels"); // Delta V, Delta I, mu, Gm
        // Every right press measures from the left press at (6600, 2550): 150 V, 5 mA.
        QTest::newRow("20 V at equal current")
            << 7000.0f << 2550.0f << 1.0f << 6000.0f << 4500.0f
            << QStringList{"Delta V: 20 ", "Delta I: 0  ", "mu: 20 ", ""};
        QTest::newRow("1.33 mA at equal plate voltage")
            << 6600.0f << 1950.0f << 1.0f << 6000.0f << 4500.0f
            << QStringList{"Delta V: 0  ", "Delta I: 0.00133 ", "", "Gm: 1.333k umhos"};
        QTest::newRow("both, grid step 2")
            << 7600.0f << 1800.0f << 2.0f << 6000.0f << 4500.0f
            << QStringList{"Delta V: 50 ", "Delta I: 0.00167 ", "mu: 25 ", "Gm: 833.33  umhos"};
        QTest::newRow("negative step: negative mu, positive Gm")
            << 7000.0f << 1950.0f << -1.0f << 6000.0f << 4500.0f
            << QStringList{"Delta V: 20 ", "Delta I: 0.00133 ", "mu: -20 ", "Gm: 1.333k umhos"};
        QTest::newRow("grid step 0") << 7000.0f << 1950.0f << 0.0f << 6000.0f << 4500.0f
                                     << QStringList{"Delta V: 20 ", "Delta I: 0.00133 ", "", ""};
        QTest::newRow("grid step NaN") << 7000.0f << 1950.0f << kNaN << 6000.0f << 4500.0f
                                       << QStringList{"Delta V: 20 ", "Delta I: 0.00133 ", "", ""};
        QTest::newRow("no frame width")
            << 7000.0f << 1950.0f << 1.0f << 0.0f << 4500.0f
            << QStringList{"", "Delta I: 0.00133 ", "", "Gm: 1.333k umhos"};
        QTest::newRow("no frame height") << 7000.0f << 1950.0f << 1.0f << 6000.0f << 0.0f
                                         << QStringList{"Delta V: 20 ", "", "mu: 20 ", ""};
    }
    void rightPress() {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(float, gridStep);
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(QStringList, labels);
        DesignState d = Drawn();
        PointReadouts readouts;
        readouts.ShowReadouts(6600, 2550, 1, d);
        d.ExamineGridStep = gridStep;
        d.PlotWidth = width;
        d.PlotHeight = height;
        QCOMPARE(Shown(readouts.ShowReadouts(x, y, 2, d)), labels);
    }

    void rightPressesShareTheFirstPoint() {
        const DesignState d = Drawn();
        PointReadouts readouts;
        readouts.ShowReadouts(6600, 2550, 1, d);
        QCOMPARE(Shown(readouts.ShowReadouts(6600, 1950, 2, d)).last(), "Gm: 1.333k umhos");
        // Measured against the left press, not the previous right press; the zero
        // current difference empties the Gm that was shown.
        QCOMPARE(Shown(readouts.ShowReadouts(7000, 2550, 2, d)),
                 (QStringList{"Delta V: 20 ", "Delta I: 0  ", "mu: 20 ", ""}));
        QCOMPARE(readouts.FirstPoint().volts, 150.0f);
        QCOMPARE(readouts.SecondPoint().volts, 170.0f);
        QCOMPARE(readouts.DeltaV(), 20.0f);
        QCOMPARE(readouts.DeltaI(), 0.0f);
    }

    void rightPressBeforeAnyLeftMeasuresFromZero() {
        PointReadouts readouts;
        QCOMPARE(Shown(readouts.ShowReadouts(4800, 3900, 2, Drawn())),
                 (QStringList{"Delta V: 60 ", "Delta I: 0.002 ", "mu: 60 ", "Gm: 2k umhos"}));
    }

    void otherButtonsChangeNothing_data() {
        QTest::addColumn<int>("button");
        QTest::newRow("middle") << kMiddleButton;
        QTest::newRow("none") << 0;
        QTest::newRow("left and right together") << 3;
    }
    void otherButtonsChangeNothing() {
        QFETCH(int, button);
        const DesignState d = Drawn();
        PointReadouts readouts;
        readouts.ShowReadouts(6600, 2550, 1, d);
        readouts.ShowReadouts(7000, 1950, 2, d);
        QCOMPARE(Shown(readouts.ShowReadouts(100, 100, button, d)),
                 (QStringList{"-", "-", "-", "-"}));
        QCOMPARE(readouts.FirstPoint().volts, 150.0f);
        QCOMPARE(readouts.SecondPoint().volts, 170.0f);
        QCOMPARE(readouts.DeltaV(), 20.0f);
    }
};

QTEST_APPLESS_MAIN(tst_Readouts)
#include "tst_Readouts.moc"
