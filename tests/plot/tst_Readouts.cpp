#include "plot/Readouts.h"
#include "support/SampleDesign.h"

#include <QtTest>

using namespace valvix;
using namespace valvix::test;

class tst_Readouts final : public QObject {
    Q_OBJECT
private slots:
    // Presses one after another on the sample's frame with 300 V and 10 mA full scales:
    // the labels Delta V, Delta I, mu and Gm ("-" for one left as it was) and FirstPoint.
    void readouts() {
        // clang-format off
        const std::tuple<int, float, float, float, float, const char*, float, float> kPresses[] = {
            {2, 4800, 3900, 1, 6000, "Delta V: 60 |Delta I: 0.002 |mu: 60 |Gm: 2k umhos", 0, 0},
            {1, 6600, 2550, 1, 6000, "|||", 150, 0.005f},
            {2, 7000, 2550, 1, 6000, "Delta V: 20 |Delta I: 0  |mu: 20 |", 150, 0.005f},
            {2, 6600, 1950, 1, 6000, "Delta V: 0  |Delta I: 0.00133 ||Gm: 1.333k umhos", 150, 0.005f},
            {4, 100, 100, 1, 6000, "-|-|-|-", 150, 0.005f}, {3, 100, 100, 1, 6000, "-|-|-|-", 150, 0.005f},
            {2, 7600, 1800, 2, 6000, "Delta V: 50 |Delta I: 0.00167 |mu: 25 |Gm: 833.33  umhos", 150, 0.005f},
            {2, 6200, 3150, -1, 6000, "Delta V: 20 |Delta I: 0.00133 |mu: -20 |Gm: 1.333k umhos", 150, 0.005f},
            {2, 7000, 1950, 0, 6000, "Delta V: 20 |Delta I: 0.00133 ||", 150, 0.005f},
            {2, 7000, 1950, NAN, 6000, "Delta V: 20 |Delta I: 0.00133 ||", 150, 0.005f},
            {2, 7000, 1950, 1, 0, "|Delta I: 0.00133 ||Gm: 1.333k umhos", 150, 0.005f}, {1, 3000, 5250, 1, 6000, "|||", -30, -0.001f}};
        // clang-format on
        ExamineSettings examine;
        examine.ExamineVoltsFullscale = 300, examine.ExamineAmpsFullscale = 0.01f;
        PointReadouts readouts;
        for (const auto& [button, x, y, gridStep, plotWidth, labels, volts, amps] : kPresses) {
            examine.ExamineGridStep = gridStep;
            const ReadoutTexts texts = readouts.ShowReadouts(x, y, button, {600, 600 + plotWidth, 300, 4800}, examine);
            QStringList shown;
            for (const auto* label : {&texts.deltaV, &texts.deltaI, &texts.mu, &texts.gm})
                shown << (*label ? QString::fromStdString(**label) : "-");
            QCOMPARE(shown.join('|'), QString(labels));
            QVERIFY(readouts.FirstPoint().volts == volts && readouts.FirstPoint().amps == amps);
        }
        QVERIFY(qFuzzyCompare(readouts.SecondPoint().amps, 0.00633333f));
    }
};

QTEST_APPLESS_MAIN(tst_Readouts)
#include "tst_Readouts.moc"
