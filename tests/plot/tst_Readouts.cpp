#include "plot/Readouts.h"

#include <QtTest>

#include <limits>

using namespace valvix;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr int kLeft = PointReadouts::kLeftButton;
constexpr int kRight = PointReadouts::kRightButton;

// A frame from (600, 300) to (6600, 4800) as the last drawing left it, 300 V and 10 mA
// full scales, grid step 1 V.
DesignState Drawn() {
    DesignState d;
    d.Xleft = 600;
    d.Ybottom = 4800;
    d.PlotWidth = 6000;
    d.PlotHeight = 4500;
    d.ExamineVoltsFullscale = 300;
    d.ExamineAmpsFullscale = 0.01f;
    d.ExamineGridStep = 1;
    return d;
}

// The four label texts joined by '|'; "-" for a label that keeps its text.
QString Shown(const ReadoutTexts& texts) {
    QStringList shown;
    for (const auto* label : {&texts.deltaV, &texts.deltaI, &texts.mu, &texts.gm}) {
        shown << (*label ? QString::fromStdString(**label) : QStringLiteral("-"));
    }
    return shown.join('|');
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
        QTest::newRow("left of and below the chart") << 3000.0f << 5250.0f << -30.0f << -0.001f;
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

    // Every right press measures from a left press at (6600, 2550): 150 V, 5 mA.
    void rightPress_data() {
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<float>("gridStep");
        QTest::addColumn<QSizeF>("plot");    // PlotWidth and PlotHeight at the right press
        QTest::addColumn<QString>("labels"); // Delta V, Delta I, mu, Gm
        const QSizeF plot(6000, 4500);
        QTest::newRow("1.33 mA at equal plate voltage")
            << QPointF(6600, 1950) << 1.0f << plot
            << "Delta V: 0  |Delta I: 0.00133 ||Gm: 1.333k umhos";
        QTest::newRow("both, grid step 2")
            << QPointF(7600, 1800) << 2.0f << plot
            << "Delta V: 50 |Delta I: 0.00167 |mu: 25 |Gm: 833.33  umhos";
        QTest::newRow("below left, negative step: negative mu, positive Gm")
            << QPointF(6200, 3150) << -1.0f << plot
            << "Delta V: 20 |Delta I: 0.00133 |mu: -20 |Gm: 1.333k umhos";
        QTest::newRow("grid step 0")
            << QPointF(7000, 1950) << 0.0f << plot << "Delta V: 20 |Delta I: 0.00133 ||";
        QTest::newRow("grid step NaN")
            << QPointF(7000, 1950) << kNaN << plot << "Delta V: 20 |Delta I: 0.00133 ||";
        QTest::newRow("no frame width") << QPointF(7000, 1950) << 1.0f << QSizeF(0, 4500)
                                        << "|Delta I: 0.00133 ||Gm: 1.333k umhos";
        QTest::newRow("no frame height")
            << QPointF(7000, 1950) << 1.0f << QSizeF(6000, 0) << "Delta V: 20 ||mu: 20 |";
    }
    void rightPress() {
        QFETCH(QPointF, press);
        QFETCH(float, gridStep);
        QFETCH(QSizeF, plot);
        QFETCH(QString, labels);
        DesignState d = Drawn();
        PointReadouts readouts;
        readouts.ShowReadouts(6600, 2550, kLeft, d);
        d.ExamineGridStep = gridStep;
        d.PlotWidth = static_cast<float>(plot.width());
        d.PlotHeight = static_cast<float>(plot.height());
        QCOMPARE(Shown(readouts.ShowReadouts(float(press.x()), float(press.y()), kRight, d)),
                 labels);
    }

    void rightPressesMeasureFromTheLeftPress() {
        const DesignState d = Drawn();
        PointReadouts readouts;
        // Before any left press, from 0 V and 0 A.
        QCOMPARE(Shown(readouts.ShowReadouts(4800, 3900, kRight, d)),
                 "Delta V: 60 |Delta I: 0.002 |mu: 60 |Gm: 2k umhos");
        readouts.ShowReadouts(6600, 2550, kLeft, d);
        QVERIFY(Shown(readouts.ShowReadouts(6600, 1950, kRight, d)).endsWith("|Gm: 1.333k umhos"));
        // Not from the previous right press; the zero current difference empties the Gm.
        QCOMPARE(Shown(readouts.ShowReadouts(7000, 2550, kRight, d)),
                 "Delta V: 20 |Delta I: 0  |mu: 20 |");
        QCOMPARE(readouts.FirstPoint().volts, 150.0f);
        QCOMPARE(readouts.SecondPoint().volts, 170.0f);
        QCOMPARE(readouts.DeltaV(), 20.0f);
        QCOMPARE(readouts.DeltaI(), 0.0f);
    }

    // After a left and a right press, a press with button at (4800, 3900): 60 V, 2 mA.
    void laterPress_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("labels");
        QTest::addColumn<QPointF>("first"); // volts, amps
        QTest::newRow("left: labels emptied, a new first point")
            << kLeft << "|||" << QPointF(60, 0.002);
        QTest::newRow("middle: nothing changes") << 4 << "-|-|-|-" << QPointF(150, 0.005);
        QTest::newRow("left and right together: nothing changes")
            << 3 << "-|-|-|-" << QPointF(150, 0.005);
    }
    void laterPress() {
        QFETCH(int, button);
        QFETCH(QString, labels);
        QFETCH(QPointF, first);
        const DesignState d = Drawn();
        PointReadouts readouts;
        readouts.ShowReadouts(6600, 2550, kLeft, d);
        readouts.ShowReadouts(7000, 1950, kRight, d);
        QCOMPARE(Shown(readouts.ShowReadouts(4800, 3900, button, d)), labels);
        QCOMPARE(readouts.FirstPoint().volts, static_cast<float>(first.x()));
        QCOMPARE(readouts.FirstPoint().amps, static_cast<float>(first.y()));
        if (button != kLeft) {
            QCOMPARE(readouts.SecondPoint().volts, 170.0f);
            QCOMPARE(readouts.DeltaV(), 20.0f);
        }
    }
};

QTEST_APPLESS_MAIN(tst_Readouts)
#include "tst_Readouts.moc"
