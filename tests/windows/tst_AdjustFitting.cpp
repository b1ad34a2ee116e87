// The Adjust window's fitting controls, pressed and clicked with the mouse.

#include "fit/PointsFile.h"
#include "platform/CanvasView.h"
#include "plot/FrameMapping.h"
#include "support/PointsCsv.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedServices.h"
#include "support/TestCharts.h"
#include "windows/frmAdjust.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <set>

using namespace valvix;
using namespace valvix::test;

class tst_AdjustFitting final : public QObject {
    Q_OBJECT

    const example::ChartSpec sheet = example::HighMuTestChart();
    Design design;
    ChartGraphic graphic;
    ScriptedServices services;
    std::string chart;
    std::unique_ptr<frmAdjust> window;
    RecordingSurface drawn;

    void open(const std::string& picture) {
        window.reset();
        design = example::ChartDesign(sheet, sheet.saved); // Mu 104.5, Ex 1.3775, Kg1 990 ...
        graphic = {};
        design.GraphicFileName = picture;
        showWindow();
    }
    void showWindow() {
        services.messages.clear();
        window = std::make_unique<frmAdjust>(design, graphic, services);
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

    // The shipped 6SN7 example (Mu 17, Ex 1.2 against the chart's 20, 1.3) fitted with a
    // click on "Fit to chart", then drawn once.
    void openFittedExample() {
        const QString name = QFINDTESTDATA("../../examples/example-6SN7.VXF").chopped(4);
        window.reset();
        design = {};
        graphic = {};
        QVERIFY(ReadDesignFile((name + ".VXF").toStdString(), design).ok);
        design.GraphicFileName = (name + ".jpg").toStdString();
        showWindow();
        QVERIFY(!button("cmdSaveFoundPoints")->isEnabled());
        press("cmdFitToChart");
        QVERIFY2(services.messages.empty(), qPrintable(result()));
        redrawn();
    }
    void redrawn() {
        drawn = RecordingSurface{};
        press("cmdPlotRefresh");
    }
    // The small squares marking found points (not the plot frame), of one colour when given.
    std::vector<RecordingSurface::Item> found(std::optional<Rgb> colour = {}) {
        auto squares = drawn.of(RecordingSurface::Kind::Rectangle, colour);
        std::erase_if(squares, [](const auto& r) { return r.b.x - r.a.x > 100; });
        return squares;
    }
    static PointF centre(const RecordingSurface::Item& r) { return {(r.a.x + r.b.x) / 2, (r.a.y + r.b.y) / 2}; }
    // Layout units from a point to the curve the window's values draw for a grid voltage.
    double offCurve(PointF at, float vg) {
        const FrameMapping frame(design.Xleft, design.Xright, design.Ytop, design.Ybottom);
        const double vp = frame.XToVolts(at.x, 500);
        double nearest = 1e9;
        for (double v = std::max(1.0, vp - 20); v < vp + 20; v += 0.02) {
            const float y = frame.AmpsToY(EvaluatePlatePoint(float(v), vg, ParametersOf(design)).Ip, 0.03);
            nearest = std::min(nearest, std::hypot(double(frame.VoltsToX(v, 500) - at.x), double(y - at.y)));
        }
        return nearest;
    }
    const Rgb orange{230, 110, 0}; // the first colour: the 0 V curve, and with 7 colours the -14 V one

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
        // A fit is one step of the window's history: Ctrl+Z and "Undo fit" take it back alike.
        const QStringList restored = fields();
        press("cmdFitToChart");
        const QStringList fitted = fields();
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(fields() == restored && !button("cmdUndoFit")->isEnabled());
        press("cmdRedo");
        QVERIFY(fields() == fitted && button("cmdUndoFit")->isEnabled());
        press("cmdUndoFit");
        QCOMPARE(fields(), restored);
        press("cmdRedo");
        QCOMPARE(fields(), fitted);
    }

    // The line under the chart tells of the last fit only while the fields hold its values:
    // undo and redo, a step, a typed value, a refused field or fit clear it.
    void resultLineFollowsTheFields() {
        const auto keys = [&](Qt::KeyboardModifiers m) { QTest::keyClick(window.get(), Qt::Key_Z, m); };
        const Qt::KeyboardModifiers undo = Qt::ControlModifier, redo = Qt::ControlModifier | Qt::ShiftModifier;
        const auto click = [&] { // a line that is not the fit's
            QTest::mouseClick(&window->view(), Qt::LeftButton, Qt::ShiftModifier, OnTrueCurve(200, -1));
            QVERIFY(result().startsWith("Point added"));
        };
        // clang-format off
        const std::pair<const char*, std::function<void()>> kAfterAFit[] = {
            {"", [&] { keys(undo); }}, {"", [&] { press("cmdUndo"); }},
            {"", [&] { keys(undo); click(); keys(redo); }}, {"", [&] { keys(undo); click(); press("cmdRedo"); }},
            {"The values from before the last fit are back.", [&] { press("cmdUndoFit"); }},
            {"", [&] { press("cmdUndoFit"); keys(redo); }}, {"", [&] { press("cmdMuUp"); }},
            {"", [&] { QTest::keyClicks(window->findChild<QLineEdit*>("txtKp"), "1"); }},
            {"", [&] { Type(*window, "txtGridVoltageStep", "0.09"); click(); press("cmdPlotRefresh"); }},
            {"", [&] { Type(*window, "txtEx", "0"); click(); press("cmdFitToChart"); }}};
        // clang-format on
        for (const auto& [after, action] : kAfterAFit) {
            open(chart);
            press("cmdFitToChart");
            QVERIFY(result().startsWith("Fitted to "));
            action();
            QCOMPARE(result(), QString(after));
        }
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
        const std::string message =
            "No printed curves were found inside the plot frame. Check that the frame lies on "
            "the chart's axes and that the picture shows the curves as dark lines on light paper.";
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
        QTest::mouseClick(&window->view(), Qt::LeftButton, Qt::ControlModifier, at); // nearer than the trace
        QCOMPARE(result(), QString("Point removed (0 clicked points)."));
        redrawn();
        QVERIFY(marks().empty());
    }

    void fitToPointsFile() {
        const std::string good = services.path("good.csv");
        WritePointsCsv(good, sheet.truth, 300, 0, -3, 0.5); // every curve of the family down to -3 V
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

    void exampleMarksEachCurveInItsColourOnItsFittedCurve() {
        openFittedExample();
        std::set<std::tuple<int, int, int>> colours;
        for (const auto& square : found())
            colours.insert({square.colour.r, square.colour.g, square.colour.b});
        QVERIFY2(found().size() > 500 && found().size() <= 1500 && colours.size() >= 7,
                 qPrintable(QString("%1 marks in %2 colours").arg(found().size()).arg(colours.size())));
        int on0 = 0, on14 = 0;
        for (const auto& square : found(orange)) {
            const double off0 = offCurve(centre(square), 0), off14 = offCurve(centre(square), -14);
            QVERIFY2(std::min(off0, off14) < 10, qPrintable(QString("%1 %2").arg(off0).arg(off14)));
            (off0 < off14 ? on0 : on14)++;
        }
        QVERIFY2(on0 > 20 && on14 > 20, qPrintable(QString("%1 %2").arg(on0).arg(on14)));
        // "RMS miss 0.0512 mA (0.17 % of full scale)": the full scale is 30 mA.
        const auto miss = QRegularExpression(R"(RMS miss ([\d.]+) mA \(([\d.]+) % of full scale\))").match(result());
        QVERIFY2(miss.hasMatch(), qPrintable(result()));
        const double mA = miss.captured(1).toDouble(), percent = miss.captured(2).toDouble();
        QVERIFY2(mA < 0.3 && std::abs(percent - mA / 0.3) < 0.01, qPrintable(result()));
    }

    void ctrlClickRemovesATraceUntilTheChartChanges() {
        openFittedExample();
        const Rgb teal{0, 160, 160}; // the -4 V and -18 V curves
        const PointF at = centre(found(teal)[found(teal).size() / 2]);
        const auto markedNear = [&] {
            const auto squares = found();
            return std::any_of(squares.begin(), squares.end(), [&](const auto& square) {
                return std::hypot(centre(square).x - at.x, centre(square).y - at.y) < 1;
            });
        };
        const QPoint pixel = window->view().canvas().toPixels(at).toPoint() + QPoint(0, 1); // a little off the mark
        QTest::mouseClick(&window->view(), Qt::LeftButton, Qt::ControlModifier, pixel);
        QVERIFY2(result().startsWith("Trace removed (") &&
                     result().endsWith(" traces left); press Fit to chart to fit again."),
                 qPrintable(result()));
        redrawn();
        QVERIFY(!markedNear());
        press("cmdFitToChart"); // the kept traces, less the one removed
        redrawn();
        QVERIFY(!markedNear());
        Type(*window, "txtPlateVoltageFullscale", "510"); // other scales: the chart is read afresh
        press("cmdFitToChart");
        redrawn();
        QVERIFY(markedNear());
    }

    void saveFoundPoints() {
        openFittedExample();
        const std::string nowhere = services.path("no such folder/found.csv"), saved = services.path("found.csv");
        services.fileAnswers = {nowhere, saved};
        press("cmdSaveFoundPoints");
        QCOMPARE(services.lastDialog(),
                 QString::fromStdString("Save found points|Points files (*.csv)|*.csv|" +
                                        design.GraphicFileName.substr(0, design.GraphicFileName.size() - 4) + ".csv"));
        QCOMPARE(services.messages.size(), std::size_t(1));
        QVERIFY2(services.messages[0].starts_with("The found points could not be saved to " + nowhere),
                 services.messages[0].c_str());
        QVERIFY(!QFileInfo::exists(QString::fromStdString(nowhere)));
        press("cmdSaveFoundPoints");
        QCOMPARE(services.dialogs.back().proposedName, nowhere);
        const fit::PointsFile file = fit::ReadPointsFile(saved);
        QVERIFY2(file.ok && file.points.size() > 5000, file.message.c_str());
        std::set<double> grids;
        for (const fit::ChartPoint& p : file.points)
            grids.insert(p.vg);
        QCOMPARE(grids, (std::set<double>{-20, -18, -16, -14, -12, -10, -8, -6, -4, -2, 0}));
    }
};

QTEST_MAIN(tst_AdjustFitting)
#include "tst_AdjustFitting.moc"
