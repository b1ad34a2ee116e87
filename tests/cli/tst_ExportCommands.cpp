// valvix-cli export and check on a design file, run as the built program.

#include "cli/CliRun.h"
#include "export/NgspiceModel.h"
#include "export/Subcircuit.h"
#include "state/DesignFile.h"
#include "support/FileContents.h"
#include "support/SampleDesign.h"

#include <QStandardPaths>
#include <QtTest>

using namespace valvix;

class tst_ExportCommands final : public QObject {
    Q_OBJECT
private slots:
    void exportAndCheck() {
        const QTemporaryDir folder;
        const QString in = folder.filePath("in.VXF"), out = folder.filePath("T");
        const Design design = test::SampleDesign();
        QVERIFY(WriteDesignFile(in.toStdString(), design, "now").ok);
        const QString ex0 = folder.filePath("ex0.VXF"); // its exponent 0
        Design refused = design;
        refused.Ex = 0;
        QVERIFY(WriteDesignFile(ex0.toStdString(), refused, "now").ok);
        const bool ngspice = !QStandardPaths::findExecutable("ngspice").isEmpty();
        const QString ran = ngspice ? ".CKT in ngspice's PSpice mode: largest" : "check: ngspice was not found";
        const QString picture = VALVIX_EXAMPLES_DIR "/example-12AX7.jpg";
        const QString over = ngspice ? "Over the limit of 0.0001 %: the largest difference is " : "";
        const QString within = ngspice ? "Within the limit of 0.5 %: the largest difference is " : "";
        // clang-format off
        const struct { QStringList arguments; int status; QString printed; QString last; } rows[] = {
            {{"export", "--design", in, "--name", "12AX7", "--ckt", out + ".CKT", "--asc", out + ".ASC", "--lib", out + ".lib"}, 0, "Wrote", ""},
            {{"export", "--design", in, "--name", "12AX7"}, 2, "export: Name at least one file", ""},
            {{"export", "--design", out, "--name", "X", "--ckt", out}, 2, "export: --design " + out + ": the file does not exist.\n", ""},
            {{"export", "--design", picture, "--name", "X", "--ckt", out}, 2, "export: --design " + picture + ": the file is not a Valvix design file.\n", ""},
            {{"export", "--design", ex0, "--name", "X", "--ckt", out}, 2, "export: --design " + ex0 + ": The value of the exponent", ""},
            {{"export", "--design", in, "--name", "X", "--lib", out + "/x.lib"}, 1, "export: --lib " + out + "/x.lib: The .lib (ngspice model) was not written: the folder " + out + " does not exist.\n", ""},
            {{"export", "--design", in, "--name", "--ckt", out}, 2, "export: The option --name needs a value.", ""},
            {{"check", "--design", in, "--max-percent", "0.0001"}, ngspice ? 1 : 2, ran, over},
            {{"check", "--design", in}, ngspice ? 0 : 2, ran, within},
            {{"check", "--design", in, "--max-percent", "-1"}, 2, "check: --max-percent needs", ""},
            {{"check", "--design", picture}, 2, "check: --design " + picture + ": the file is not a Valvix design file.\n", ""},
        };
        // clang-format on
        for (const auto& row : rows) {
            const test::CliRun run = test::RunCli(row.arguments);
            QCOMPARE(run.status, row.status);
            QVERIFY2((run.out + run.err).starts_with(row.printed.toStdString()), (run.out + run.err).c_str());
            const std::string last = run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1);
            QVERIFY2(row.last.isEmpty() || (last.starts_with(row.last.toStdString()) && last.ends_with(" %.\n")),
                     run.out.c_str());
        }
        const auto bytes = [&](const char* extension) { return test::Contents(out + extension).toStdString(); };
        QCOMPARE(bytes(".CKT"), SubcircuitText(design, "12AX7"));
        QCOMPARE(bytes(".lib"), NgspiceModelText(design, "12AX7"));
        QVERIFY(bytes(".ASC").ends_with("!.DC  Vplate  0   250  0.25   Vgrid  -10  0  1 \r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_ExportCommands)
#include "tst_ExportCommands.moc"
