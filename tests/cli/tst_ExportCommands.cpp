// valvix-cli export and check on a design file, run as the built program.

#include "cli/CliRun.h"
#include "export/NgspiceModel.h"
#include "export/Subcircuit.h"
#include "state/DesignFile.h"
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
        const DesignState design = test::SampleDesign();
        QVERIFY(WriteDesignFile(in.toStdString(), design, "now").ok);
        const bool ngspice = !QStandardPaths::findExecutable("ngspice").isEmpty();
        const QString ran = ngspice ? ".CKT in ngspice's PSpice mode: largest" : "check: ngspice was not found";
        // clang-format off
        const struct { QStringList arguments; int status; QString printed; } rows[] = {
            {{"export", "--design", in, "--name", "12AX7", "--ckt", out + ".CKT", "--asc", out + ".ASC", "--lib", out + ".lib"}, 0, "Wrote"},
            {{"export", "--design", in, "--name", "12AX7"}, 2, "export: Name at least one file"},
            {{"export", "--design", out, "--name", "X", "--ckt", out}, 2, "export: The chosen file"},
            {{"export", "--design", in, "--name", "X", "--lib", out + "/x.lib"}, 1, "export: The .lib (ngspice model) was not written: " + out + "/x.lib\n"},
            {{"export", "--design", in, "--name", "--ckt", out}, 2, "export: The option --name needs a value."},
            {{"check", "--design", in, "--max-percent", "0.0001"}, ngspice ? 1 : 2, ran},
            {{"check", "--design", in}, ngspice ? 0 : 2, ran},
            {{"check", "--design", in, "--max-percent", "-1"}, 2, "check: --max-percent needs"},
        };
        // clang-format on
        for (const auto& row : rows) {
            const test::CliRun run = test::RunCli(row.arguments);
            QCOMPARE(run.status, row.status);
            QVERIFY2((run.out + run.err).starts_with(row.printed.toStdString()), (run.out + run.err).c_str());
        }
        const auto bytes = [&](const char* extension) {
            QFile file(out + extension);
            return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
        };
        QCOMPARE(bytes(".CKT"), SubcircuitText(design, "12AX7"));
        QCOMPARE(bytes(".lib"), NgspiceModelText(design, "12AX7"));
        QVERIFY(bytes(".ASC").ends_with("!.DC  Vplate  0   250  0.25   Vgrid  -10  0  1 \r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_ExportCommands)
#include "tst_ExportCommands.moc"
