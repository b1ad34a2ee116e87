// The Subcircuit window's "Check in ngspice" and "Write ngspice model", with ngspice's
// runs scripted.

#include "export/NgspiceModel.h"
#include "export/Subcircuit.h"
#include "model/Triode.h"
#include "platform/CanvasView.h"
#include "support/RecordingSurface.h"
#include "support/SampleDesign.h"
#include "support/ScriptedServices.h"
#include "windows/frmShowSubcircuit.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using namespace valvix;
using namespace valvix::test;

namespace {

// ngspice's table for the 100 V and 150 V points of the 0 V curve, 150 V offset.
std::string Table(const Design& d, double offset) {
    std::string text = " v-sweep -i(Vplate) v(grid) v(plate)\n";
    for (const float vp : {100.0f, 150.0f}) {
        const double ip = EvaluatePlatePoint(vp, 0, ParametersOf(d)).Ip + vp / 1e9;
        text += "0 " + QString::number(ip + (vp == 150 ? offset : 0), 'g', 17).toStdString() + " 0 " +
                std::to_string(vp) + "\n";
    }
    return text;
}

} // namespace

class tst_SimulatorCheck final : public QObject {
    Q_OBJECT
    Design design;
    ExamineSettings examine;
    SubcircuitNames names;
    ScriptedServices services;

    // Presses "Check in ngspice"; step gets the check window while it is open.
    void check(const std::function<void(QDialog&)>& step) {
        frmShowSubcircuit window(design, examine, names, services);
        window.show();
        services.onModal = step;
        QTest::mouseClick(window.findChild<QPushButton*>("cmdCheck"), Qt::LeftButton);
    }
    static QString result(QDialog& w) { return w.findChild<QLabel*>("lblResult")->text(); }
    static int running(QDialog& w) { // 3: the busy bar shows and Cancel is enabled
        return int(w.findChild<QProgressBar*>("prgRunning")->isVisibleTo(&w)) +
               2 * int(w.findChild<QPushButton*>("cmdCancel")->isEnabled());
    }

private slots:
    void init() {
        design = SampleDesign();
        design.PlateVoltageFullscale = 300, design.GridVoltageStep = 2; // six curves to 300 V
        services.simulator = {};
        services.dialogs.clear();
    }

    void showsBothDifferencesAndTheCurves() {
        RecordingSurface drawn;
        check([&](QDialog& w) {
            QVERIFY(running(w) == 3 && w.windowTitle() == "Valvix - Check in ngspice");
            QCOMPARE(result(w), QString("Running ngspice over 6 curves ..."));
            QCOMPARE(services.simulator.jobs.at(0).files.at(0).bytes, SubcircuitText(design, "TubeName"));
            // While ngspice runs, the computed 0 V curve is drawn, through 150 V.
            const Canvas& canvas = w.findChild<CanvasView*>()->canvas();
            QCOMPARE(canvas.image().pixel(canvas.toPixels({6550, 2236}).toPoint()), qRgb(0, 0, 255));
            w.findChild<CanvasView*>()->canvas().setTap(&drawn);
            const SimulatorRunOutcome circuit{true, 0, "", Table(design, 1e-4), 0};
            const SimulatorRunOutcome model{true, 0, "", Table(design, 0), 0};
            services.simulator.finish({JobEnding::Finished, "", {circuit, model}});
            QVERIFY(running(w) == 0);
            QCOMPARE(result(w), QString(".CKT in ngspice's PSpice mode: largest difference "
                                        "2.000 % of full-scale current, at grid voltage 0 V and "
                                        "plate voltage 150 V\n.lib in stock ngspice: largest "
                                        "difference 0.000 % of full-scale current, at grid "
                                        "voltage 0 V and plate voltage 100 V"));
        });
        // Each simulated family joins its two points: 100 V and 150 V of the 0 V curve.
        for (const auto& [colour, y] : {std::pair{kRed, 2143.99f}, std::pair{Rgb{0, 150, 0}, 2235.99f}}) {
            const auto lines = drawn.of(RecordingSurface::Kind::Line);
            const auto line = std::ranges::find(lines, colour, &RecordingSurface::Item::colour);
            QVERIFY(line != lines.end() && std::abs(line->a.x - 4866.67f) < 0.01f);
            QVERIFY(std::abs(line->b.x - 6550) < 0.01f && std::abs(line->b.y - y) < 0.01f);
        }
    }

    // Cancel and Return stop the run; failures and refusals are said in the window.
    void stopsAndSaysWhatWentWrong() {
        check([&](QDialog& w) {
            QTest::mouseClick(w.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
            QVERIFY(running(w) == 0 && result(w) == "The check was cancelled.");
        });
        check([&](QDialog& w) { QTest::mouseClick(w.findChild<QPushButton*>("cmdExit"), Qt::LeftButton); });
        QCOMPARE(services.simulator.cancels, 2);
        check([&](QDialog& w) {
            services.simulator.finish({JobEnding::NotFound, "ngspice", {}});
            QVERIFY(running(w) == 0 && result(w).startsWith("ngspice was not found."));
        });
        design.Kp = 20000;
        check([&](QDialog& w) {
            QVERIFY(running(w) == 0 && result(w) == "The value for Kp must be between 1 and 10000");
        });
        QCOMPARE(services.simulator.jobs.size(), std::size_t(3));
    }

    void writesTheNgspiceModel() {
        frmShowSubcircuit window(design, examine, names, services);
        window.show();
        for (const char* name : {"cmdWriteModel", "cmdCheck"}) {
            const auto* button = window.findChild<QPushButton*>(name);
            QVERIFY(window.rect().contains(button->geometry()));
            QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 10);
        }
        services.fileAnswers = {services.path("x.lib")};
        QTest::mouseClick(window.findChild<QPushButton*>("cmdWriteModel"), Qt::LeftButton);
        const FileDialogRequest& asked = services.dialogs.at(0);
        QCOMPARE(asked.title + asked.filter + asked.proposedName,
                 "Write ngspice modelngspice model files (*.lib)|*.libTubeName.lib");
        QFile written(QString::fromStdString(services.path("x.lib")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().toStdString(), NgspiceModelText(design, "TubeName"));
    }
};

QTEST_MAIN(tst_SimulatorCheck)
#include "tst_SimulatorCheck.moc"
