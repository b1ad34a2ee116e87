#include "plot/FrameMapping.h"
#include "support/PlotDrawing.h"

#include <QtTest>

using namespace valvix;
using namespace valvix::test;

class tst_FrameMapping final : public QObject {
    Q_OBJECT
private slots:
    void frameMapping() {
        const FrameMapping f(100, 600, 50, 350);
        QCOMPARE(Numbers(f.VoltsToX(0, 500), f.VoltsToX(250, 500), f.VoltsToX(500, 500), f.AmpsToY(0, 0.02),
                         f.AmpsToY(0.015, 0.02), f.DissipationToY(2, 400, 0.02), f.XToVolts(350, 250),
                         f.XToVolts(50, 250), f.YToAmps(425, 0.02)),
                 "100 350 600 350 125 275 125 -25 -0.005");
        // Strictly inside the top and side edges; nothing is tested against the bottom.
        QVERIFY(f.Inside(std::nextafter(100.0f, 200.0f), std::nextafter(50.0f, 100.0f)) &&
                f.Inside(std::nextafter(600.0f, 0.0f), 1e9f));
        QVERIFY(!f.Inside(100, 200) && !f.Inside(600, 200) && !f.Inside(300, 50) && !f.Inside(NAN, 200));
        QVERIFY(!f.Inside(f.VoltsToX(250, 0), f.AmpsToY(0.01, 0)));
        const FrameMapping sample = FrameMapping::of(SampleDesign());
        QVERIFY(sample.plotWidth() == 6000 && sample.plotHeight() == 4500 && sample.xleft() == 600 &&
                sample.ybottom() == 4800);
    }
};

QTEST_APPLESS_MAIN(tst_FrameMapping)
#include "tst_FrameMapping.moc"
