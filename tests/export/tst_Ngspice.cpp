// Runs the exported subcircuit and the test schematic's circuit through ngspice and
// compares the simulated plate current with the model, sweep point by sweep point.

#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "model/Triode.h"
#include "support/SampleDesign.h"

#include <QtTest>

#include <cmath>

using namespace valvix;
using test::ExaminedDesign;

class tst_Ngspice final : public QObject {
    Q_OBJECT
private slots:
    // ngspice knows Pwrs only in its PSpice mode: "ps" for an .include'd .CKT, "psa" for
    // the schematic's subcircuit, which sits in the netlist; given in .spiceinit or with -D.
    // Every point above 1 uA, Rcp's Vp / 1 GOhm taken off, agrees within ngspice's own
    // tolerance, except where its Exp runs straight above an argument of 14.
    void simulatedCurrent() {
        if (QStandardPaths::findExecutable("ngspice").isEmpty())
            QSKIP("ngspice is not installed (tools/setup.sh installs it)");
        // clang-format off
        for (const auto& [schematic, viaInit, p] : {
                 std::tuple{false, true, test::Values{300, 300, 0, 0, 300, 0.01f, 0, -4, 1, 100, 1.4f, 1060, 600, 300}},
                 {false, false, test::Values{300, 300, 0, 0, 400, 0.01f, 0, -100, 25, 4.2f, 1.4f, 1500, 60, 24}},
                 {true, true, test::Values{300, 300, 0, 0, 300, 0.01f, 2, -4, 1, 100, 1.4f, 1060, 600, 300}},
                 {true, false, test::Values{300, 300, 0, 0, 400, 0.01f, 0, -20, 5, 21.5f, 1.3f, 1180, 84, 300}}}) {
            // clang-format on
            QTemporaryDir dir;
            const ExaminedDesign d{test::DesignOf(p), {}};
            const QString file = dir.filePath(schematic ? "T1.ASC" : "T1.CKT");
            QVERIFY((schematic ? WritePlotterFile(file.toStdString(), d, d, "T1")
                               : WriteCircuitFile(file.toStdString(), d, "T1"))
                        .ok);
            QFile written(file), netlist(dir.filePath("check.cir")), init(dir.filePath(".spiceinit"));
            QVERIFY(written.open(QIODevice::ReadOnly) && netlist.open(QIODevice::WriteOnly) &&
                    init.open(QIODevice::WriteOnly));
            const QByteArrayList lines = written.readAll().split('\n');
            const auto item = [&](int line) {
                return lines[line].mid(lines[line].indexOf('!') + 1).trimmed().replace("\\n", "\n");
            };
            netlist.write("* T1\nVplate plate 0 0\nVgrid grid 0 0\nX1 plate grid 0 T1\n" +
                          (schematic
                               ? item(28) + "\n" + item(29)
                               : ".include T1.CKT\n" + QByteArray::fromStdString(SweepDirective(d, d).substr(22))) +
                          "\n.control\nset wr_singlescale\nrun\nwrdata sweep.txt -i(Vplate) "
                          "v(grid) v(plate)\nquit\n.endc\n.end\n");
            const QString behaviour = schematic ? "ngbehavior=psa" : "ngbehavior=ps";
            init.write(viaInit ? ("set " + behaviour + "\n").toUtf8() : "");
            netlist.close(), init.close();
            QProcess ngspice;
            ngspice.setWorkingDirectory(dir.path());
            ngspice.setProcessChannelMode(QProcess::MergedChannels);
            ngspice.start("ngspice",
                          (viaInit ? QStringList() : QStringList{"-D", behaviour}) + QStringList{"-b", "check.cir"});
            QVERIFY2(ngspice.waitForFinished(60000), "ngspice hangs");
            const QByteArray log = ngspice.readAll();
            QVERIFY2(ngspice.exitCode() == 0 && !log.contains("rror"), log.constData());
            QFile sweep(dir.filePath("sweep.txt"));
            QVERIFY(sweep.open(QIODevice::ReadOnly));
            int compared = 0;
            QSet<double> grids;
            for (const QByteArray& line : sweep.readAll().split('\n').mid(1)) {
                const QByteArrayList f = line.simplified().split(' ');
                const double vp = f.value(3).toDouble(), vg = f.value(2).toDouble(),
                             simulated = f.value(1).toDouble() - vp / 1e9;
                const float model = EvaluatePlatePoint(float(vp), float(vg), ParametersOf(d)).Ip;
                grids.insert(f.size() == 4 ? vg : -9999);
                if (d.Kp * (1 / d.Mu + vg / std::sqrt(d.Kvb + vp * vp)) < 14 &&
                    std::max<double>(model, simulated) >= 1e-6 && ++compared)
                    QVERIFY2(std::abs(simulated - model) <= 0.005 * model,
                             qPrintable(QString("Vp %1 Vg %2: %3 not %4").arg(vp).arg(vg).arg(simulated).arg(model)));
            }
            QVERIFY(compared > 200 && grids.size() == int((p[6] - p[7]) / p[8]) + 2); // and the empty last line
        }
    }
};

QTEST_GUILESS_MAIN(tst_Ngspice)
#include "tst_Ngspice.moc"
