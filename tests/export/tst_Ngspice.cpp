// Runs the exported subcircuit and the test schematic's circuit through ngspice and
// compares the simulated plate current with the model, sweep point by sweep point.

#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "model/Triode.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace valvix;

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
// The part of a schematic text item after its '!', its \n breaks made real.
QByteArray ItemText(const QByteArray& line) {
    return line.mid(line.indexOf('!') + 1).chopped(1).replace("\\n", "\n");
}

} // namespace

class tst_Ngspice final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable("ngspice").isEmpty())
            QFAIL("ngspice not installed");
    }

    // ngspice knows Pwrs only in its PSpice mode: "ps" for an .include'd .CKT, "psa" for
    // the schematic's subcircuit, which sits in the netlist; given in .spiceinit or with -D.
    void simulatedCurrent_data() {
        QTest::addColumn<bool>("schematic");
        QTest::addColumn<bool>("commandLine");
        QTest::addColumn<QList<float>>("p"); // Mu Ex Kg1 Kp Kvb, full scale, grid from, step
        QTest::newRow(".CKT 12AX7")
            << false << false << QList<float>{100, 1.4f, 1060, 600, 300, 300, -4, 1};
        QTest::newRow(".CKT 2A3, -D")
            << false << true << QList<float>{4.2f, 1.4f, 1500, 60, 24, 400, -100, 25};
        QTest::newRow(".CKT positive grid")
            << false << false << QList<float>{35, 1.35f, 300, 300, 500, 250, -6, 2};
        QTest::newRow(".ASC 12AX7")
            << true << false << QList<float>{100, 1.4f, 1060, 600, 300, 300, -4, 1};
        QTest::newRow(".ASC 12AU7, -D")
            << true << true << QList<float>{21.5f, 1.3f, 1180, 84, 300, 400, -20, 5};
    }
    void simulatedCurrent() {
        QFETCH(bool, schematic);
        QFETCH(bool, commandLine);
        QFETCH(QList<float>, p);
        QTemporaryDir dir;
        DesignState d;
        d.TubeName = "T1";
        d.Mu = p[0], d.Ex = p[1], d.Kg1 = p[2], d.Kp = p[3], d.Kvb = p[4];
        d.ExamineSettingsKept = 1;
        d.ExamineVoltsFullscale = p[5], d.ExamineGridMostNeg = p[6], d.ExamineGridStep = p[7];
        const QString file = dir.filePath(schematic ? "T1.ASC" : "T1.CKT");
        QVERIFY((schematic ? WritePlotterFile : WriteCircuitFile)(file.toStdString(), d).ok);
        const QByteArrayList lines = Read(file).split('\n');
        QByteArray netlist = "* T1\nVplate plate 0 0\nVgrid grid 0 0\n";
        netlist += schematic ? ItemText(lines[28]) + "\nXU1 plate grid 0 T1\n" + ItemText(lines[29])
                             : ".include T1.CKT\nX1 plate grid 0 T1\n" +
                                   QString::asprintf(".DC Vplate 0 %g %g Vgrid %g 0 %g", p[5],
                                                     p[5] / 100, p[6], p[7])
                                       .toLatin1();
        netlist +=
            "\n.control\nset wr_singlescale\nrun\nwrdata sweep.txt -i(Vplate) v(grid) v(plate)\n"
            "quit\n.endc\n.end\n";
        const QByteArray mode = schematic ? "psa" : "ps";
        QVERIFY(Write(dir.filePath("check.cir"), netlist));
        QVERIFY(
            Write(dir.filePath(".spiceinit"), commandLine ? "" : "set ngbehavior=" + mode + "\n"));
        QProcess ngspice;
        ngspice.setWorkingDirectory(dir.path());
        ngspice.setProcessChannelMode(QProcess::MergedChannels);
        ngspice.start("ngspice",
                      (commandLine ? QStringList{"-D", "ngbehavior=" + mode} : QStringList{}) +
                          QStringList{"-b", "check.cir"});
        QVERIFY(ngspice.waitForFinished(60000));
        const QByteArray log = ngspice.readAll();
        QVERIFY2(ngspice.exitCode() == 0 && !log.contains("rror"), log.constData());

        // Every point above 1 uA, Rcp's Vp / 1 GOhm taken off, within ngspice's own
        // tolerance; above an exponent of 14 ngspice's Exp runs straight, so no compare.
        int compared = 0;
        QSet<float> grids;
        for (const QByteArray& line : Read(dir.filePath("sweep.txt")).split('\n')) {
            const QByteArrayList f = line.simplified().split(' ');
            if (f.size() != 4)
                continue;
            const double vp = f[3].toDouble(), vg = f[2].toDouble();
            const double simulated = f[1].toDouble() - vp / 1e9;
            grids.insert(float(vg));
            const double a = d.Kp * (1 / d.Mu + vg / std::sqrt(d.Kvb + vp * vp));
            const PlatePoint model = EvaluatePlatePoint(float(vp), float(vg), ParametersOf(d));
            if (a < 14 && std::max<double>(model.Ip, simulated) >= 1e-6) {
                ++compared;
                QVERIFY2(std::abs(simulated - model.Ip) <= 0.005 * model.Ip,
                         qPrintable(QString::asprintf("Vp %g Vg %g: %g not %g", vp, vg, simulated,
                                                      model.Ip)));
            }
        }
        QCOMPARE(grids.size(), qsizetype(-p[6] / p[7] + 1));
        QVERIFY(compared > 200);
    }
};

QTEST_GUILESS_MAIN(tst_Ngspice)
#include "tst_Ngspice.moc"
