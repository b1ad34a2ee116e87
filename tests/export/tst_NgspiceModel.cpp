// The ngspice model (.lib) and the check in ngspice: the .lib in a stock ngspice against
// the program's curves, the figures the check reports against figures computed here from
// ngspice's own table, and the netlists the check runs.

#include "export/CheckReport.h"
#include "export/NgspiceModel.h"
#include "export/Subcircuit.h"
#include "platform/NgspiceTask.h"

#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sstream>

using namespace valvix;

namespace {

struct Figure {
    double worst = 0; // percent of full scale, where a current is on the chart
    float vg = 0;
    float vp = 0;
    double worstAbove = 0; // percent of the current itself, where both are above the chart
    int points = 0;
};

// Reads the wrdata columns in the order the netlist asks for them: the sweep scale,
// -i(Vplate), v(grid), v(plate).
Figure Measure(const std::string& table, const TriodeParameters& p, double fullscale) {
    Figure f;
    std::istringstream in(table);
    std::string header;
    std::getline(in, header);
    double scale = 0, current = 0, vg = 0, vp = 0;
    while (in >> scale >> current >> vg >> vp) {
        ++f.points;
        const double ip = current - vp / 1e9; // less Rcp's share
        const PlatePoint model = EvaluatePlatePoint(float(vp), float(vg), p);
        const double difference = std::abs(ip - model.Ip);
        if (!model.ok) {
            continue;
        }
        if (std::min<double>(ip, model.Ip) > fullscale) {
            f.worstAbove = std::max(f.worstAbove, difference / model.Ip * 100);
        } else if (difference / fullscale * 100 > f.worst) {
            f = {difference / fullscale * 100, float(vg), float(vp), f.worstAbove, f.points};
        }
    }
    return f;
}

SimulatorJobOutcome RunJob(const SimulatorJob& job) {
    SimulatorJobOutcome outcome;
    QEventLoop loop;
    NgspiceTask task(job, [&](const SimulatorJobOutcome& ended) {
        outcome = ended;
        loop.quit();
    });
    task.start();
    loop.exec();
    return outcome;
}

DesignState Design(const TriodeParameters& p, const CheckScales& s, const QString& name) {
    DesignState d;
    d.Mu = p.Mu, d.Ex = p.Ex, d.Kg1 = p.Kg1, d.Kp = p.Kp, d.Kvb = p.Kvb;
    d.PlateVoltageFullscale = s.voltsFullscale, d.PlateCurrentFullscale = s.ampsFullscale;
    d.GridVoltageMostPos = s.gridMostPos, d.GridVoltageMostNeg = s.gridMostNeg;
    d.GridVoltageStep = s.gridStep;
    d.TubeName = name.toStdString();
    return d;
}

} // namespace

Q_DECLARE_METATYPE(TriodeParameters)
Q_DECLARE_METATYPE(CheckScales)

class tst_NgspiceModel final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void modelMatchesTheCurves_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TriodeParameters>("p");
        QTest::addColumn<CheckScales>("s");
        const QString hostile =
            "A b\"'\xc3\xa9;*$\n.control\nshell touch " + m_dir.path() + "/INJECTED\n.endc\n";
        QTest::newRow("12AX7, hostile name")
            << hostile << TriodeParameters{100, 1.4f, 1060, 600, 300}
            << CheckScales{300, 0.004f, 0, -4, 0.5f};
        QTest::newRow("12AU7") << "12AU7" << TriodeParameters{21.5f, 1.3f, 1180, 84, 300}
                               << CheckScales{400, 0.02f, 0, -20, 2};
        QTest::newRow("2A3, positive grid") << "2A3" << TriodeParameters{4.2f, 1.4f, 1500, 60, 24}
                                            << CheckScales{400, 0.25f, 20, -100, 10};
        QTest::newRow("6N1P, positive grid") << "6N1P" << TriodeParameters{35, 1.35f, 300, 300, 500}
                                             << CheckScales{250, 0.04f, 6, -6, 1};
        QTest::newRow("power triode, Kp/Mu 500")
            << "PWR" << TriodeParameters{20, 1.5f, 2000, 10000, 1000}
            << CheckScales{500, 0.3f, 10, -20, 5};
        QTest::newRow("smallest Mu Kp Kg1 Kvb")
            << "LOW" << TriodeParameters{1, 2, 0.001f, 1, 0.001f}
            << CheckScales{2, 10000, 0, -16, 8};
        QTest::newRow("largest Mu Kp Kvb")
            << "HIGH" << TriodeParameters{100000, 1.1f, 1, 10000, 1e7f}
            << CheckScales{1000, 0.1f, 0, -0.25f, 0.125f};
        QTest::newRow("largest Ex Kg1") << "EXP" << TriodeParameters{10, 100, 100000, 1, 1000}
                                        << CheckScales{2, 0.5f, 0, -10, 5};
        QTest::newRow("20 curves") << "TWENTY" << TriodeParameters{90, 1.3f, 1200, 500, 300}
                                   << CheckScales{300, 0.004f, 0, -9.5f, 0.5f};
    }

    // The .lib in a stock ngspice stays within 0.5 % of full-scale current wherever a
    // current is on the chart, and within 0.5 % of the current above it; the check
    // reports for both files exactly the figures measured here.
    void modelMatchesTheCurves() {
        QFETCH(QString, name);
        QFETCH(TriodeParameters, p);
        QFETCH(CheckScales, s);
        if (QStandardPaths::findExecutable("ngspice").isEmpty()) {
            QSKIP("ngspice is not installed (tools/setup.sh installs it)");
        }
        const CheckPlanResult planned = MakeCheckPlan(Design(p, s, name));
        QVERIFY2(planned.plan, planned.error.c_str());
        QCOMPARE(planned.plan->job.runs[1].arguments,
                 (std::vector<std::string>{"-n", "-b", "check-lib.cir"}));
        const SimulatorJobOutcome outcome = RunJob(planned.plan->job);
        const CheckReport report = EvaluateCheck(*planned.plan, outcome);
        QVERIFY2(report.failure.empty(), report.failure.c_str());
        QVERIFY(!QFile::exists(m_dir.filePath("INJECTED")));
        for (std::size_t run = 0; run < 2; ++run) {
            const Figure f = Measure(*outcome.runs[run].result, p, s.ampsFullscale);
            const ModelDifference& checked = report.models[run];
            qInfo("%s: worst %.6f %% of full scale at %g V / %g V; %.6f %% above; %d points",
                  run == 0 ? ".CKT" : ".lib", f.worst, f.vg, f.vp, f.worstAbove, f.points);
            QCOMPARE(checked.worstPercent, f.worst);
            QCOMPARE(checked.atGridVoltage, f.vg);
            QCOMPARE(checked.atPlateVoltage, f.vp);
            QCOMPARE(int(checked.simulated.size()), f.points);
            if (run == 1) {
                QVERIFY(f.worst <= 0.5 && f.worstAbove <= 0.5);
                QVERIFY(checked.compared > f.points / 10);
            }
        }
        qInfo("ngspice %.3f s", report.ngspiceSeconds);
    }

    // Same terminals and name rule as the .CKT, CR LF lines, the replacing writer.
    void libraryFile() {
        DesignState d = Design({100, 1.4f, 1060, 600, 300}, {}, "12AX7");
        const std::string path = m_dir.filePath("out.lib").toStdString();
        QVERIFY(WriteNgspiceModelFile(path, d).ok);
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines[1], ".SUBCKT  12AX7  1 2 3    ;P G K \r");
        QCOMPARE(lines[2], "+ PARAMS:  Mu=100  Ex=1.4  Kg1=1060  Kp=600  Kvb=300\r");
        QCOMPARE(lines[14], ".Ends\r");
        const FileResult failed = WriteNgspiceModelFile(path + "/missing/x.lib", d);
        QCOMPARE(failed.message, std::string("The .lib (ngspice model) was not written"));
    }

    void sweepTable_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::addColumn<double>("current");
        QTest::newRow("wrdata")
            << " v-sweep -i(Vplate) v(grid) v(plate)\n 0 0 -1 0\n 150 0.002 -2 150\n"
            << "" << 0.002;
        QTest::newRow("any order, tabs") << "V(PLATE)\tv(grid)\t-I(vplate)\n150\t-2\t0.002\r\n\n"
                                         << "" << 0.002;
        QTest::newRow("no grid column") << "v-sweep -i(Vplate) v(plate)\n0 1 0\n"
                                        << "the results have no column v(grid)" << 0.0;
        QTest::newRow("short row") << "-i(Vplate) v(grid) v(plate)\n0 1\n"
                                   << "unreadable result row: 0" << 0.0;
        QTest::newRow("not finite") << "-i(Vplate) v(grid) v(plate)\nnan 1 1\n"
                                    << "unreadable result row: nan" << 0.0;
        QTest::newRow("no rows") << "-i(Vplate) v(grid) v(plate)\n"
                                 << "the results hold no points" << 0.0;
    }
    void sweepTable() {
        QFETCH(QString, text);
        QFETCH(QString, error);
        QFETCH(double, current);
        const SweepTable table = ReadSweepTable(text.toStdString());
        QCOMPARE(QString::fromStdString(table.error), error);
        if (error.isEmpty()) {
            const SweepPoint last = table.points.back();
            QCOMPARE(table.points.size(), std::size_t(text.startsWith(" v-") ? 2 : 1));
            QCOMPARE(last.plateVoltage, 150.0);
            QCOMPARE(last.gridVoltage, -2.0);
            QCOMPARE(last.plateCurrent, current);
        }
    }

    // The Examine settings once kept, else the Adjust window's; refusals with a message.
    void plan() {
        DesignState d = Design({100, 1.4f, 1060, 600, 300}, {300, 0.004f, 1, -4, 0.5f}, "");
        d.ExamineVoltsFullscale = 200, d.ExamineAmpsFullscale = 0.002f;
        d.ExamineGridMostPos = 0, d.ExamineGridMostNeg = -2, d.ExamineGridStep = 1;
        QVERIFY(CheckNetlist(CheckedModel::NgspiceModel, CheckScalesOf(d), "T")
                    .find(".DC Vplate 0 300 0.3 Vgrid 1 -4 -0.5\n") != std::string::npos);
        d.ExamineSettingsKept = 1;
        QCOMPARE(CountCheckedCurves(CheckScalesOf(d)), 3);
        QCOMPARE(CheckScalesOf(d).ampsFullscale, 0.002f);
        const struct {
            float DesignState::*field;
            float value;
            const char* error;
        } refusals[] = {
            {&DesignState::Kp, 0.5f, "The value for Kp must be between 1 and 10000"},
            {&DesignState::ExamineAmpsFullscale, 0,
             "The plate current full scale must be above 0 for the check."},
            {&DesignState::ExamineGridMostNeg, 1, "The grid voltages give no curve to check."},
            {&DesignState::ExamineGridStep, 0.0199f,
             "The check runs at most 100 curves; make the grid voltage step larger."},
            {&DesignState::ExamineGridStep, 0.0201f, ""}, // 100 curves
        };
        for (const auto& refusal : refusals) {
            DesignState changed = d;
            changed.*refusal.field = refusal.value;
            QCOMPARE(MakeCheckPlan(changed).error, std::string(refusal.error));
        }
        const CheckPlan plan = *MakeCheckPlan(d).plan;
        QCOMPARE(plan.job.runs[0].arguments,
                 (std::vector<std::string>{"-n", "-D", "ngbehavior=ps", "-b", "check-ckt.cir"}));
        QCOMPARE(plan.job.files[0].bytes, SubcircuitText(d, "TUBE"));
    }

    void nameNeverReachesTheNetlists() {
        QCOMPARE(SimulatorSafeName("A b\"'\xc3\xa9;*$\n.x_9"), std::string("A_b_________x_9"));
        DesignState d = Design({100, 1.4f, 1060, 600, 300}, {300, 0.004f, 0, -4, 1}, "");
        d.TubeName = "X\r\n.control\nshell rm x\n.endc\n* ";
        const CheckPlan plan = *MakeCheckPlan(d).plan;
        for (const SimulatorFile& file : plan.job.files) {
            const QStringList lines = QString::fromStdString(file.bytes)
                                          .split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts);
            QCOMPARE(lines.filter(QRegularExpression("^\\s*(shell|\\.endc)")).size(),
                     file.name.ends_with(".cir") ? 1 : 0);
            QVERIFY(lines.filter("X__").first().contains("X___control_shell_rm_x__endc___"));
        }
    }

    // Percent of the full-scale current, where it occurs, Rcp's share taken off, points
    // above the chart and points where the program's equation fails left out.
    void compareWithModel() {
        const TriodeParameters p{100, 1.4f, 1060, 600, 300};
        const auto at = [&](double vp, double vg, double offset) {
            return SweepPoint{vp, vg,
                              EvaluatePlatePoint(float(vp), float(vg), p).Ip + vp / 1e9 + offset};
        };
        const std::vector<SweepPoint> points{at(100, 0, 0.00001), at(150, -2, -0.00008),
                                             at(300, 0, 0.001), at(1, 1000, 1)};
        const ModelDifference d = CompareWithModel(CheckedModel::CircuitFile, points, p, 0.004f);
        QVERIFY(std::abs(d.worstPercent - 2) < 1e-6);
        QCOMPARE(d.atGridVoltage, -2.0f);
        QCOMPARE(d.atPlateVoltage, 150.0f);
        QCOMPARE(d.compared, 2);
        QCOMPARE(d.leftOut, 1);
        QCOMPARE(DifferenceLine(d),
                 std::string(".CKT in ngspice's PSpice mode: largest difference "
                             "2.000 % of full-scale current, at grid voltage -2 V "
                             "and plate voltage 150 V (1 points where the "
                             "program's equation overflows left out)"));
    }

    void failures_data() {
        QTest::addColumn<int>("ending");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("message");
        const QString log = "a\n Reference value : 1\r\n\nb\nc\nd\ne\nf\ng";
        QTest::newRow("missing") << int(JobEnding::NotFound) << 0 << ""
                                 << "ngspice was not found. Install ngspice (on Debian: apt-get "
                                    "install ngspice) and check again.";
        QTest::newRow("folder")
            << int(JobEnding::NoFolder) << 0 << ""
            << "The check could not write its files in the temporary folder /t.";
        QTest::newRow("hangs")
            << int(JobEnding::TimedOut) << 0 << "x\ny"
            << "ngspice did not finish within 30 s and was stopped. Its last lines:\nx\ny";
        QTest::newRow("exit code") << int(JobEnding::Finished) << 1 << log
                                   << "ngspice failed on the .CKT: ngspice ended with exit code 1. "
                                      "Its last lines:\nb\nc\nd\ne\nf\ng";
        QTest::newRow("error") << int(JobEnding::Finished) << 0 << "Error: no such function"
                               << "ngspice failed on the .CKT: ngspice reported an error. Its last "
                                  "lines:\nError: no such function";
        QTest::newRow("no results") << int(JobEnding::Finished) << 0 << ""
                                    << "ngspice failed on the .CKT: ngspice wrote no results.";
    }
    void failures() {
        QFETCH(int, ending);
        QFETCH(int, exitCode);
        QFETCH(QString, log);
        QFETCH(QString, message);
        const CheckPlan plan =
            *MakeCheckPlan(Design({100, 1.4f, 1060, 600, 300}, {300, 0.004f, 0, -4, 1}, "T")).plan;
        SimulatorRunOutcome run{true, exitCode, log.toStdString(), std::nullopt, 0.1};
        const SimulatorJobOutcome outcome{JobEnding(ending), "/t", {run, run}};
        QCOMPARE(QString::fromStdString(EvaluateCheck(plan, outcome).failure), message);
    }
};

QTEST_GUILESS_MAIN(tst_NgspiceModel)
#include "tst_NgspiceModel.moc"
