#include "platform/QtPicture.h"
#include "platform/StraightenedGraphic.h"
#include "support/WindowDriver.h"
#include "windows/frmAdjust.h"

using namespace valvix;
using namespace valvix::test;

class tst_AdjustHistory final : public QObject, WindowDriver {
    Q_OBJECT
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void undoKeys(Qt::KeyboardModifiers m) { QTest::keyClick(window.get(), Qt::Key_Z, m); }

private slots:
    void init() {
        reset();
        open<frmAdjust>();
    }

    void upDownAndTypedValuesAreSteps() {
        QVERIFY(!button("cmdUndo")->isEnabled());
        press("cmdMuUp");
        type("txtKp", "1.2k");
        press("cmdPlotRefresh");
        QCOMPARE(design.Kp, 1200.0f);
        QCOMPARE(box("txtKp")->text(), QString("1.2k")); // taking effect keeps the text
        undoKeys(Qt::ControlModifier);
        QCOMPARE(box("txtKp")->text(), QString(" 600"));
        QVERIFY(!button("cmdSubcircuit")->isEnabled());
        press("cmdUndo");
        QCOMPARE(box("txtMu")->text(), QString(" 100"));
        QCOMPARE(design.Mu, 100.0f);
        undoKeys(Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(design.Mu, 101.0f);
        type("txtKg1", "0"); // refused: no step
        press("cmdPlotRefresh");
        QVERIFY(button("cmdRedo")->isEnabled());
        // A fit hands its parameters in as one step.
        static_cast<frmAdjust&>(*window).applyFit({90, 1.0000001f, 1200, 500, 350});
        QCOMPARE(box("txtEx")->text(), QString(" 1")); // read back as 1: still one step
        QCOMPARE(design.Kvb, 350.0f);
        press("cmdUndo");
        QCOMPARE(box("txtKvb")->text(), QString(" 300"));
        press("cmdUndo"); // the step before the fit
        QCOMPARE(design.Mu, 100.0f);
    }

    void showsThePictureTurnedLevelOnce() {
        graphic.CurveGraphicTilt.fileName = design.GraphicFileName;
        graphic.CurveGraphicTilt.degrees = 2;
        press("cmdPlotRefresh");
        const QImage& shown = dynamic_cast<const QtPicture&>(*graphic.CurveGraphic).image();
        QCOMPARE(shown.pixel(0, 0), qRgb(255, 255, 255)); // a turned corner is left white
        const auto loaded = services->loadPicture(design.GraphicFileName);
        const auto level = StraightenedGraphic(graphic, design.GraphicFileName, loaded);
        QCOMPARE(StraightenedGraphic(graphic, design.GraphicFileName, loaded), level);
        graphic.CurveGraphicTilt.degrees = 0;
        QCOMPARE(StraightenedGraphic(graphic, design.GraphicFileName, loaded), loaded);
    }
};

QTEST_MAIN(tst_AdjustHistory)
#include "tst_AdjustHistory.moc"
