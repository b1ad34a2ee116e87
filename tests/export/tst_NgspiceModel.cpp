// The ngspice model (.lib) and the check in ngspice: the .lib in a stock ngspice against
// the program's curves, the figures the check reports against figures computed here from
// ngspice's own table, and the netlists, tables and messages of the check.

#include "export/CheckReport.h"
#include "export/NgspiceModel.h"
#include "export/Subcircuit.h"
#include "platform/NgspiceTask.h"
#include "support/SampleDesign.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sstream>

using namespace valvix;
using test::ExaminedDesign;

namespace {

// In percent: of full scale where a current is on the chart, else of the current itself.
struct Figure {
    double worst = 0, worstAbove = 0;
    float vg = 0, vp = 0;
    int points = 0;
};

// The columns as the netlist asks for them: sweep scale, -i(Vplate), v(grid), v(plate).
Figure Measure(const std::string& table, const TriodeParameters& p, double fullscale) {
    Figure f;
    std::istringstream in(table.substr(table.find('\n')));
    double scale = 0, current = 0, vg = 0, vp = 0;
    while (in >> scale >> current >> vg >> vp) {
        ++f.points;
        const double ip = current - vp / 1e9; // less Rcp's share
        const PlatePoint model = EvaluatePlatePoint(float(vp), float(vg), p);
        const double difference = std::abs(ip - model.Ip);
        if (model.ok && std::min<double>(ip, model.Ip) > fullscale) {
            f.worstAbove = std::max(f.worstAbove, difference / model.Ip * 100);
        } else if (model.ok && difference / fullscale * 100 > f.worst) {
            f = {difference / fullscale * 100, f.worstAbove, float(vg), float(vp), f.points};
        }
    }
    return f;
}

ExaminedDesign DesignOf(const TriodeParameters& p, const CheckScales& s) {
    ExaminedDesign d;
    d.Mu = p.Mu, d.Ex = p.Ex, d.Kg1 = p.Kg1, d.Kp = p.Kp, d.Kvb = p.Kvb;
    d.PlateVoltageFullscale = s.voltsFullscale, d.PlateCurrentFullscale = s.ampsFullscale;
    d.GridVoltageMostPos = s.gridMostPos, d.GridVoltageMostNeg = s.gridMostNeg;
    d.GridVoltageStep = s.gridStep;
    return d;
}

const TriodeParameters k12AX7{100, 1.4f, 1060, 600, 300};

} // namespace

class tst_NgspiceModel final : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // The .lib in a stock ngspice stays within 0.5 % of full-scale current wherever a
    // current is on the chart, and within 0.5 % of the current above it; the check
    // reports for both files exactly the figures measured here. A name that tries to add
    // a shell command to the netlist adds nothing.
    void modelMatchesTheCurves() {
        if (QStandardPaths::findExecutable("ngspice").isEmpty()) {
            QSKIP("ngspice is not installed (tools/setup.sh installs it)");
        }
        // clang-format off
        const struct { const char* tag; TriodeParameters p; CheckScales s; } rows[] = {
            {"12AX7, hostile name", k12AX7, {300, 0.004f, 0, -4, 0.5f}},
            {"12AU7", {21.5f, 1.3f, 1180, 84, 300}, {400, 0.02f, 0, -20, 2}},
            {"2A3, positive grid", {4.2f, 1.4f, 1500, 60, 24}, {400, 0.25f, 20, -100, 10}},
            {"6N1P, positive grid", {35, 1.35f, 300, 300, 500}, {250, 0.04f, 6, -6, 1}},
            {"power triode, Kp/Mu 500", {20, 1.5f, 2000, 10000, 1000}, {500, 0.3f, 10, -20, 5}},
            {"smallest Mu Kp Kg1 Kvb", {1, 2, 0.001f, 1, 0.001f}, {2, 10000, 0, -16, 8}},
            {"largest Mu Kp Kvb", {100000, 1.1f, 1, 10000, 1e7f}, {1000, 0.1f, 0, -0.25f, 0.125f}},
            {"largest Ex Kg1", {10, 100, 100000, 1, 1000}, {2, 0.5f, 0, -10, 5}},
            {"20 curves", {90, 1.3f, 1200, 500, 300}, {300, 0.004f, 0, -9.5f, 0.5f}},
        };
        // clang-format on
        const QString injected = m_dir.filePath("INJECTED");
        const std::string name = "A b\"'\xc3\xa9;*$\n.control\nshell touch " + injected.toStdString() + "\n.endc\n";
        for (const auto& [tag, p, s] : rows) {
            qInfo("%s", tag);
            const CheckPlan plan = *MakeCheckPlan(DesignOf(p, s), {}, name).plan;
            const SimulatorJobOutcome outcome = RunJobAndWait(plan.job);
            const CheckReport report = EvaluateCheck(plan, outcome);
            QVERIFY2(report.failure.empty(), report.failure.c_str());
            QVERIFY(!QFile::exists(injected));
            for (std::size_t run = 0; run < 2; ++run) {
                const Figure f = Measure(*outcome.runs[run].result, p, s.ampsFullscale);
                const ModelDifference& checked = report.models[run];
                qInfo("%s: worst %.6f %% of full scale at %g V / %g V; %.6f %% above; %d points",
                      run == 0 ? ".CKT" : ".lib", f.worst, f.vg, f.vp, f.worstAbove, f.points);
                QCOMPARE(checked.worstPercent, f.worst);
                QCOMPARE(checked.atGridVoltage, f.vg);
                QCOMPARE(checked.atPlateVoltage, f.vp);
                QCOMPARE(int(checked.simulated.size()), f.points);
                QVERIFY(run == 0 || (f.worst <= 0.5 && f.worstAbove <= 0.5));
            }
            qInfo("ngspice %.3f s", report.ngspiceSeconds);
        }
    }

    // Same terminals as the .CKT and its name made one word, CR LF lines, the replacing writer.
    void libraryFile() {
        const Design d = DesignOf(k12AX7, {});
        const std::string path = m_dir.filePath("out.lib").toStdString();
        QVERIFY(WriteNgspiceModelFile(path, d, "12AX7").ok);
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().split('\n').size() == 16);
        QCOMPARE(NgspiceModelLines(d, "12AX7-A")[1] + NgspiceModelLines(d, "")[2],
                 ".SUBCKT  12AX7-A  1 2 3    ;P G K + PARAMS:  Mu=100  Ex=1.4  Kg1=1060  Kp=600  "
                 "Kvb=300");
        // One name before the terminals, whatever was typed or pasted.
        for (const auto& [typed, name] : {std::pair{"", "TUBE"},
                                          {" 6SN7 GT;x$y\r\n", "_6SN7_GT_x_y"},
                                          {"\n\t", "TUBE"},
                                          {"\xC3\xA9*\"", "\xC3\xA9*\""}})
            QCOMPARE(NgspiceModelLines(d, typed)[1], ".SUBCKT  " + std::string(name) + "  1 2 3    ;P G K ");
        QCOMPARE(WriteNgspiceModelFile(path + "/x.lib", d, "12AX7").message,
                 "The .lib (ngspice model) was not written");
    }

    // The Examine settings once kept, else the Adjust window's; refusals with a message;
    // the .CKT as written, in PSpice mode; no name adds a line to the files that are run.
    void plan() {
        ExaminedDesign d = DesignOf(k12AX7, {300, 0.004f, 1, -4, 0.5f});
        const std::string name = "X\r\n.control\nshell rm x\n* ";
        d.ExamineVoltsFullscale = 200, d.ExamineAmpsFullscale = 0.002f, d.ExamineGridStep = 1;
        QVERIFY(CheckNetlist(CheckedModel::NgspiceModel, CheckScalesOf(d, d), "T")
                    .find(".DC Vplate 0 300 0.3 Vgrid 1 -4 -0.5\n") != std::string::npos);
        d.ExamineSettingsKept = 1, d.ExamineGridMostNeg = -2;
        const CheckPlan plan = *MakeCheckPlan(d, d, name).plan;
        QCOMPARE(plan.scales.ampsFullscale, 0.002f);
        QCOMPARE(plan.job.runs[0].arguments,
                 (std::vector<std::string>{"-n", "-D", "ngbehavior=ps", "-b", "check-ckt.cir"}));
        QCOMPARE(plan.job.runs[1].arguments, (std::vector<std::string>{"-n", "-b", "check-lib.cir"}));
        QCOMPARE(plan.job.files[0].bytes, SubcircuitText(d, "X___control_shell_rm_x___"));
        QCOMPARE(SimulatorSafeName(""), "TUBE");
        // clang-format off
        const struct { float ExaminedDesign::*field; float value; const char* error; } refusals[] = {
            {&Design::Kp, 0.5f, "The value for Kp must be between 1 and 10000"},
            {&ExamineSettings::ExamineAmpsFullscale, 0, "The plate current full scale must be above 0 for the check."},
            {&ExamineSettings::ExamineGridMostNeg, 1, "The grid voltages give no curve to check."},
            {&ExamineSettings::ExamineGridStep, 0.0199f, "The check runs at most 100 curves; make the grid voltage step larger."},
            {&ExamineSettings::ExamineGridStep, 0.0201f, ""}, // 100 curves
        };
        // clang-format on
        for (const auto& refusal : refusals) {
            ExaminedDesign changed = d;
            changed.*refusal.field = refusal.value;
            QCOMPARE(MakeCheckPlan(changed, changed, name).error, refusal.error);
        }
    }

    void failures() {
        const CheckPlan plan = *MakeCheckPlan(DesignOf(k12AX7, {300, 0.004f, 0, -4, 1}), {}, "").plan;
        // clang-format off
        const struct { JobEnding ending; int exitCode; std::string log; std::string message; } rows[] = {
            {JobEnding::NoFolder, 0, "", "The check could not write its files in the temporary folder /t."},
            {JobEnding::TimedOut, 0, "x\ny", "ngspice did not finish within 30 s and was stopped. Its last lines:\nx\ny"},
            {JobEnding::Finished, 1, "a\nb\nc\nd\ne\n Reference value : 1\r\n\nf\ng", "ngspice failed on the .CKT: ngspice ended with exit code 1. Its last lines:\nb\nc\nd\ne\nf\ng"},
            {JobEnding::Finished, 0, "Error: x", "ngspice failed on the .CKT: ngspice reported an error. Its last lines:\nError: x"},
        };
        // clang-format on
        for (const auto& row : rows) {
            const SimulatorRunOutcome run{true, row.exitCode, row.log, std::nullopt, 0};
            QCOMPARE(EvaluateCheck(plan, {row.ending, "/t", {run, run}}).failure, row.message);
        }
    }
};

QTEST_GUILESS_MAIN(tst_NgspiceModel)
#include "tst_NgspiceModel.moc"
