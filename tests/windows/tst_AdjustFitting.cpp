// The Adjust window's fitting controls, pressed and clicked with the mouse.

#include "ChartRender.h"
#include "platform/CanvasView.h"
#include "plot/FrameMapping.h"
#include "support/PointsCsv.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedServices.h"
#include "windows/frmAdjust.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace valvix;
using namespace valvix::test;

class tst_AdjustFitting final : public QObject {
    Q_OBJECT

    const example::ChartSpec sheet = example::TestChart(example::TestTube::HighMu);
    DesignState design;
    ScriptedServices services;
    std::string chart;
    std::unique_ptr<frmAdjust> window;
    RecordingSurface drawn;

    void open(const std::string& picture) {
        window.reset();
        design = example::ChartDesign(sheet, sheet.saved); // Mu 104.5, Ex 1.3775, Kg1 990 ...
        design.GraphicFileName = picture;
        services.messages.clear();
        window = std::make_unique<frmAdjust>(design, services);
        window->view().canvas().setTap(&drawn);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    QString text(const char* name) { return window->findChild<QLineEdit*>(name)->text(); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QString result() { return window->findChild<QLabel*>("lblFitResult")->text(); }
    QStringList fields() { return {text("txtMu"), text("txtEx"), text("txtKg1"), text("txtKp"), text("txtKvb")}; }
    const QStringList unfitted{" 104.5", " 1.3775", " 990", " 630", " 275"};
    QPoint OnTrueCurve(float vp, float vg) { // in pixels of the window
        const FrameMapping frame(design.Xleft, design.Xright, design.Ytop, design.Ybottom);
        const PointF at{frame.VoltsToX(vp, 300), frame.AmpsToY(EvaluatePlatePoint(vp, vg, sheet.truth).Ip, 0.004)};
        return window->view().canvas().toPixels(at).toPoint();
    }
    auto marks() { return drawn.of(RecordingSurface::Kind::Line); }

private slots:
    void initTestCase() {
        chart = services.path("chart.png");
        QVERIFY(example::RenderChart(sheet).save(QString::fromStdString(chart)));
    }
    void init() { open(chart); }
    void cleanup() { window.reset(); }

    void fitThenUndoTwoLevels() {
        press("cmdFitToChart");
        QVERIFY2(std::abs(text("txtMu").toDouble() / 95 - 1) < 0.002, qPrintable(text("txtMu")));
        QVERIFY(std::abs(text("txtEx").toDouble() / 1.45 - 1) < 0.002 && text("txtKg1")[0] == ' ');
        QVERIFY(result().startsWith("Fitted to "));
        QCOMPARE(design.Mu, text("txtMu").toFloat()); // written, then read back by the redraw
        window->findChild<QLineEdit*>("txtMu")->setText("120");
        press("cmdFitToChart");
        press("cmdUndoFit");
        QCOMPARE(text("txtMu"), QString(" 120"));
        press("cmdUndoFit");
        QCOMPARE(fields(), unfitted);
        QVERIFY(!button("cmdUndoFit")->isEnabled());
        // Every fit and every "Undo fit" is one step of the window's history as well.
        const QStringList restored = fields();
        press("cmdFitToChart");
        const QStringList fitted = fields();
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(fields(), restored);
        press("cmdRedo");
        QCOMPARE(fields(), fitted);
    }

    void refusedFieldStopsTheFit() {
        window->findChild<QLineEdit*>("txtEx")->setText("0");
        press("cmdFitToChart");
        QCOMPARE(services.messages,
                 std::vector<std::string>{"The value of the exponent must be between 1 and 100; typical value is 1.3"});
        QCOMPARE(text("txtMu"), QString(" 104.5"));
        QVERIFY(!button("cmdUndoFit")->isEnabled());
    }

    void pictureWithoutCurvesChangesNothing() {
        QImage blank(560, 400, QImage::Format_RGB32);
        blank.fill(QColor(250, 250, 240));
        QVERIFY(blank.save(QString::fromStdString(services.path("blank.bmp"))));
        open(services.path("blank.bmp"));
        press("cmdFitToChart");
        const std::string message = "The chart picture shows no printed curves to fit to.";
        QCOMPARE(services.messages, std::vector<std::string>{message});
        QCOMPARE(result().toStdString(), message);
        QCOMPARE(fields(), unfitted);
        QVERIFY(!button("cmdUndoFit")->isEnabled());
    }

    void shiftClickAddsAMarkCtrlClickRemovesIt() {
        press("cmdFitToChart");
        drawn = RecordingSurface{};
        const QPoint at = OnTrueCurve(200, -1);
        QTest::mouseClick(&window->view(), Qt::LeftButton, Qt::ShiftModifier, at);
        QCOMPARE(result(), QString("Point added, nearest the -1 V curve (1 clicked points)."));
        const PointF clicked = window->view().canvas().toLayout(at);
        const auto mark = marks().front(); // one of two lines, centred on the click
        QVERIFY(std::hypot((mark.a.x + mark.b.x) / 2 - clicked.x, (mark.a.y + mark.b.y) / 2 - clicked.y) < 0.5f);
        QTest::mouseClick(&window->view(), Qt::LeftButton, Qt::NoModifier, at + QPoint(3, 3));
        drawn = RecordingSurface{};
        press("cmdFitToChart");                   // draws twice: checking, then with the fitted values
        QCOMPARE(marks().size(), std::size_t(4)); // a plain click added nothing
        QVERIFY2(std::abs(text("txtMu").toDouble() / 95 - 1) < 0.002, qPrintable(result()));
        QTest::mouseClick(&window->view(), Qt::LeftButton, Qt::ControlModifier, at + QPoint(3, 3));
        drawn = RecordingSurface{};
        press("cmdPlotRefresh");
        QVERIFY(marks().empty());
    }

    void fitToPointsFile() {
        const std::string good = services.path("good.csv");
        WritePointsCsv(good, sheet.truth, 300, 0, -3, 1);
        const std::string bad = services.path("bad.csv");
        WritePointsCsv(bad, sheet.truth, 0, 0, 0, 1);
        services.fileAnswers = {bad, std::nullopt, good};
        press("cmdFitPointsFile");
        const std::string refused = "The points file holds 0 points; at least 5 are needed.";
        QCOMPARE(services.messages, std::vector<std::string>{refused});
        QCOMPARE(fields(), unfitted);
        press("cmdFitPointsFile"); // cancelled
        press("cmdFitPointsFile");
        QCOMPARE(services.dialogs.back().proposedName, bad);
        QVERIFY2(std::abs(text("txtMu").toDouble() / 95 - 1) < 0.002, qPrintable(text("txtMu")));
    }
};

QTEST_MAIN(tst_AdjustFitting)
#include "tst_AdjustFitting.moc"
