#include "platform/QtPicture.h"
#include "platform/StraightenedGraphic.h"
#include "support/SampleDesign.h"
#include "support/ScriptedServices.h"
#include "windows/frmAdjust.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace valvix;
using namespace valvix::test;

class tst_AdjustHistory final : public QObject {
    Q_OBJECT

    Design design;

    ChartGraphic graphic;
    ScriptedServices services;
    std::unique_ptr<frmAdjust> window;

    QLineEdit* field(const char* name) { return window->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void undoKeys(Qt::KeyboardModifiers m) { QTest::keyClick(window.get(), Qt::Key_Z, m); }
    void type(const char* name, const char* text) {
        field(name)->clear();
        QTest::keyClicks(field(name), text);
    }

private slots:
    void init() {
        design = SampleDesign();
        graphic = {};
        design.GraphicFileName = services.writePicture();
        window = std::make_unique<frmAdjust>(design, graphic, services);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void upDownAndTypedValuesAreSteps() {
        QVERIFY(!button("cmdUndo")->isEnabled());
        press("cmdMuUp");
        type("txtKp", "1.2k");
        press("cmdPlotRefresh");
        QCOMPARE(design.Kp, 1200.0f);
        QCOMPARE(field("txtKp")->text(), QString("1.2k")); // taking effect keeps the text
        undoKeys(Qt::ControlModifier);
        QCOMPARE(field("txtKp")->text(), QString(" 600"));
        QVERIFY(!button("cmdSubcircuit")->isEnabled());
        press("cmdUndo");
        QCOMPARE(field("txtMu")->text(), QString(" 100"));
        QCOMPARE(design.Mu, 100.0f);
        undoKeys(Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(design.Mu, 101.0f);
        type("txtKg1", "0"); // refused: no step
        press("cmdPlotRefresh");
        QVERIFY(button("cmdRedo")->isEnabled());
        // A fit hands its parameters in as one step.
        window->applyFit({90, 1.0000001f, 1200, 500, 350});
        QCOMPARE(field("txtEx")->text(), QString(" 1")); // read back as 1: still one step
        QCOMPARE(design.Kvb, 350.0f);
        press("cmdUndo");
        QCOMPARE(field("txtKvb")->text(), QString(" 300"));
        press("cmdUndo"); // the step before the fit
        QCOMPARE(design.Mu, 100.0f);
    }

    void showsThePictureTurnedLevelOnce() {
        graphic.CurveGraphicTilt.fileName = design.GraphicFileName;
        graphic.CurveGraphicTilt.degrees = 2;
        press("cmdPlotRefresh");
        const QImage& shown = dynamic_cast<const QtPicture&>(*graphic.CurveGraphic).image();
        QCOMPARE(shown.pixel(0, 0), qRgb(255, 255, 255)); // a turned corner is left white
        const auto loaded = services.loadPicture(design.GraphicFileName);
        const auto level = StraightenedGraphic(graphic, design.GraphicFileName, loaded);
        QCOMPARE(StraightenedGraphic(graphic, design.GraphicFileName, loaded), level);
        graphic.CurveGraphicTilt.degrees = 0;
        QCOMPARE(StraightenedGraphic(graphic, design.GraphicFileName, loaded), loaded);
    }
};

QTEST_MAIN(tst_AdjustHistory)
#include "tst_AdjustHistory.moc"
