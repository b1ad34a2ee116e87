// Runs the exported subcircuit and the test schematic's circuit through ngspice and
// checks the simulated plate current against the model, sweep point by sweep point.

#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "model/Triode.h"
#include "state/DesignState.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <set>

using namespace valvix;

namespace {

// ngspice understands Pwrs only in its PSpice compatibility mode, set by
// "set ngbehavior=..." in a .spiceinit in the working directory or by
// "-D ngbehavior=..." on the command line. "ps" applies it to .include'd files, which
// is enough for the .CKT; the schematic's subcircuit sits in the netlist itself and
// needs "psa" (all files).
enum class Route { CircuitFile, Schematic };
enum class ModeGiven { SpiceInit, CommandLine };

// The plate and grid sweeps the netlist runs.
struct Sweep {
    double fullscale;
    double plateStep;
    double gridMostNeg;
    double gridMostPos;
    double gridStep;
};

constexpr double kPlateCathodeOhms = 1e9; // Rcp of the subcircuit
constexpr double kSmallestCurrent = 1e-6; // amperes; smaller currents are not compared
// Relative. Besides Rcp's share, which is taken off, the simulated current differs from
// the model by up to ngspice's own convergence tolerance (RELTOL, 1e-3 by default).
constexpr double kTolerance = 0.005;

// Runs the sweep and writes the plate current with the two voltages it belongs to.
const QByteArray kControlBlock = ".control\nset wr_singlescale\nset wr_vecnames\nrun\n"
                                 "wrdata sweep.txt -i(Vplate) v(grid) v(plate)\nquit\n"
                                 ".endc\n.end\n";

struct SweepPoint {
    double Vp = 0;
    double Vg = 0;
    double PlateCurrent = 0; // into the plate, Rcp's share included
};

struct Agreement {
    int compared = 0;
    int linearExp = 0; // of them, points where ngspice's Exp runs straight
    double worst = 0;  // largest relative error among the compared points
    QString misfit;    // the first point outside the tolerance, if any
};

QString NgspicePath() {
    return QStandardPaths::findExecutable(QStringLiteral("ngspice"));
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs netlist in dir and reads the sweep back; on failure error says why and carries
// ngspice's own output. With the mode on the command line the .spiceinit in dir says
// nothing, which also keeps one in the home folder out.
QList<SweepPoint> RunNgspice(const QDir& dir, const QByteArray& mode, ModeGiven given,
                             const QByteArray& netlist, QString& error) {
    const bool inInit = given == ModeGiven::SpiceInit;
    if (!WriteFile(dir.filePath(".spiceinit"),
                   inInit ? "set ngbehavior=" + mode + "\n" : "* mode on the command line\n") ||
        !WriteFile(dir.filePath("check.cir"), netlist)) {
        error = "cannot write the netlist in " + dir.path();
        return {};
    }
    QProcess ngspice;
    ngspice.setWorkingDirectory(dir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("SPICE_USERINIT_DIR"); // would hide our .spiceinit
    environment.insert("LC_ALL", "C");
    ngspice.setProcessEnvironment(environment);
    ngspice.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList modeArguments{"-D", "ngbehavior=" + QString::fromLatin1(mode)};
    ngspice.start(NgspicePath(),
                  (inInit ? QStringList{} : modeArguments) + QStringList{"-b", "check.cir"});
    if (!ngspice.waitForFinished(60000)) { // far longer than any run; QProcess kills it
        error = "ngspice did not finish: " + ngspice.errorString();
        return {};
    }
    const QString log = QString::fromLocal8Bit(ngspice.readAll());
    QList<SweepPoint> points;
    for (const QByteArray& line : ReadFile(dir.filePath("sweep.txt")).split('\n').mid(1)) {
        if (line.simplified().isEmpty()) {
            continue;
        }
        const QList<QByteArray> fields = line.simplified().split(' '); // index, I, Vg, Vp
        bool ok[3] = {};
        points.append({fields.value(3).toDouble(&ok[0]), fields.value(2).toDouble(&ok[1]),
                       fields.value(1).toDouble(&ok[2])});
        if (fields.size() != 4 || !(ok[0] && ok[1] && ok[2])) {
            error = QString("unreadable sweep line \"%1\"; ngspice said:\n%2")
                        .arg(QString::fromLatin1(line), log);
            return {};
        }
    }
    if (ngspice.exitStatus() != QProcess::NormalExit || ngspice.exitCode() != 0 ||
        points.isEmpty() || log.contains("Error", Qt::CaseInsensitive)) {
        error = QString("ngspice run failed (exit code %1, %2 sweep points); it said:\n")
                    .arg(ngspice.exitCode())
                    .arg(points.size()) +
                log;
        return {};
    }
    return points;
}

// The model's exponent a = Kp * (1/Mu + Vg / sqrt(Kvb + Vp^2)), in double precision.
double Exponent(double vp, double vg, const TriodeParameters& p) {
    return p.Kp * (1.0 / p.Mu + vg / std::sqrt(p.Kvb + std::pow(vp, 2.0)));
}

// In its PSpice compatibility mode ngspice continues Exp as a straight line above an
// argument of 14: Exp(x) = e^14 * (x - 13). Points with a above 14 therefore follow the
// model's equation with that exponential instead of the model itself; this is the
// equation's current there, computed like the model otherwise.
constexpr double kLinearExpFrom = 14;

double LinearExpCurrent(double vp, double vg, const TriodeParameters& p) {
    const double a = Exponent(vp, vg, p);
    const double e1 =
        vp / p.Kp * std::log(1.0 + std::exp(kLinearExpFrom) * (a - kLinearExpFrom + 1));
    return 2.0 * std::pow(e1, static_cast<double>(p.Ex)) / p.Kg1;
}

// Compares every point where either the simulated or the expected current reaches
// kSmallestCurrent, after taking off the Vp / Rcp that the subcircuit's plate-cathode
// resistor carries besides the modelled current.
Agreement Compare(const QList<SweepPoint>& points, const TriodeParameters& p) {
    Agreement agreement;
    for (const SweepPoint& point : points) {
        const double simulated = point.PlateCurrent - point.Vp / kPlateCathodeOhms;
        const bool linearExp = Exponent(point.Vp, point.Vg, p) > kLinearExpFrom;
        const PlatePoint model =
            EvaluatePlatePoint(static_cast<float>(point.Vp), static_cast<float>(point.Vg), p);
        const bool ok = linearExp || model.ok;
        const double expected = linearExp ? LinearExpCurrent(point.Vp, point.Vg, p) : model.Ip;
        if (ok && std::max(simulated, expected) < kSmallestCurrent) {
            continue;
        }
        ++agreement.compared;
        agreement.linearExp += linearExp ? 1 : 0;
        const double error = ok ? std::abs(simulated - expected) / expected : std::nan("");
        agreement.worst = std::max(agreement.worst, error);
        if (!(error <= kTolerance) && agreement.misfit.isEmpty()) {
            agreement.misfit =
                QString::asprintf("Vp %g V, Vg %g V: ngspice %.9g A, expected %.9g A%s", point.Vp,
                                  point.Vg, simulated, expected,
                                  linearExp ? " (with the straight Exp)"
                                  : ok      ? ""
                                            : " (the model point failed)");
        }
    }
    return agreement;
}

// The distinct grid voltages of a sweep, in rising order.
QList<double> GridVoltages(const QList<SweepPoint>& points) {
    std::set<double> seen;
    for (const SweepPoint& point : points) {
        seen.insert(point.Vg);
    }
    return QList<double>(seen.begin(), seen.end());
}

QList<double> Steps(double from, double to, double step) {
    QList<double> values;
    for (double v = from; v <= to; v += step) {
        values.append(v);
    }
    return values;
}

// The part of the schematic's text item after the '!', with its \n breaks made real.
QByteArray ItemText(const QByteArray& line) {
    return line.mid(line.indexOf('!') + 1).chopped(1).replace("\\n", "\n");
}

} // namespace

Q_DECLARE_METATYPE(TriodeParameters)
Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(Sweep)
Q_DECLARE_METATYPE(ModeGiven)

class TestNgspice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (NgspicePath().isEmpty()) {
            QFAIL("ngspice not installed");
        }
    }

    // Parameter sets across the accepted ranges, with a sweep that suits each. For the
    // .CKT every step is a binary fraction, so ngspice's accumulated sweep values are
    // exact; the schematic sweeps the plate in thousandths of full scale.
    void simulatedCurrent_data() {
        QTest::addColumn<Route>("route");
        QTest::addColumn<QString>("tube");
        QTest::addColumn<TriodeParameters>("parameters");
        QTest::addColumn<Sweep>("sweep");
        QTest::addColumn<ModeGiven>("given");
        const Route ckt = Route::CircuitFile;
        const Route asc = Route::Schematic;
        const ModeGiven init = ModeGiven::SpiceInit;
        const TriodeParameters twelveAX7{100, 1.4f, 1060, 600, 300};
        const TriodeParameters twoA3{4.2f, 1.4f, 1500, 60, 24};
        QTest::newRow(".CKT 12AX7")
            << ckt << "12AX7" << twelveAX7 << Sweep{300, 3, -4, 0, 1} << init;
        QTest::newRow(".CKT 12AX7, mode on the command line")
            << ckt << "12AX7" << twelveAX7 << Sweep{300, 3, -4, 0, 1} << ModeGiven::CommandLine;
        QTest::newRow(".CKT 12AU7")
            << ckt << "12AU7" << TriodeParameters{21.5f, 1.3f, 1180, 84, 300}
            << Sweep{400, 4, -20, 0, 5} << init;
        QTest::newRow(".CKT power triode 2A3")
            << ckt << "2A3" << twoA3 << Sweep{400, 4, -100, 0, 25} << init;
        QTest::newRow(".CKT positive grid")
            << ckt << "6N1P" << TriodeParameters{35, 1.35f, 300, 300, 500}
            << Sweep{250, 2.5, -6, 2, 2} << init;
        QTest::newRow(".CKT smallest Mu Kp Kg1 Kvb")
            << ckt << "LOWEST" << TriodeParameters{1, 2, 0.001f, 1, 0.001f}
            << Sweep{16, 0.25, -16, 0, 8} << init;
        QTest::newRow(".CKT largest Mu Kp Kvb")
            << ckt << "HIGHEST" << TriodeParameters{100000, 1.1f, 1, 10000, 1e7f}
            << Sweep{1000, 10, -0.25, 0, 0.125} << init;
        QTest::newRow(".CKT largest Kg1")
            << ckt << "KG1MAX" << TriodeParameters{50, 1.8f, 100000, 1, 1000}
            << Sweep{500, 5, -50, 0, 25} << init;
        QTest::newRow(".ASC 12AX7")
            << asc << "12AX7" << twelveAX7 << Sweep{300, 0.3, -4, 0, 1} << init;
        QTest::newRow(".ASC 12AX7, mode on the command line")
            << asc << "12AX7" << twelveAX7 << Sweep{300, 0.3, -4, 0, 1} << ModeGiven::CommandLine;
        QTest::newRow(".ASC power triode 2A3")
            << asc << "2A3" << twoA3 << Sweep{400, 0.4, -100, 0, 25} << init;
    }

    void simulatedCurrent() {
        QFETCH(Route, route);
        QFETCH(QString, tube);
        QFETCH(TriodeParameters, parameters);
        QFETCH(Sweep, sweep);
        QFETCH(ModeGiven, given);
        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        const QDir dir(temporary.path());
        DesignState design;
        design.TubeName = tube.toStdString();
        design.Mu = parameters.Mu;
        design.Ex = parameters.Ex;
        design.Kg1 = parameters.Kg1;
        design.Kp = parameters.Kp;
        design.Kvb = parameters.Kvb;

        QByteArray netlist = "* " + tube.toLatin1() + " against the model\n";
        if (route == Route::CircuitFile) {
            const QString name = tube + ".CKT";
            const FileResult written = WriteCircuitFile(dir.filePath(name).toStdString(), design);
            QVERIFY2(written.ok, written.message.c_str());
            netlist += ".include " + name.toLatin1() + "\nX1 plate grid 0 " + tube.toLatin1() +
                       QString::asprintf("\n.DC Vplate 0 %g %g Vgrid %g %g %g\n", sweep.fullscale,
                                         sweep.plateStep, sweep.gridMostNeg, sweep.gridMostPos,
                                         sweep.gridStep)
                           .toLatin1();
        } else {
            design.ExamineSettingsKept = 1;
            design.ExamineVoltsFullscale = static_cast<float>(sweep.fullscale);
            design.ExamineGridMostNeg = static_cast<float>(sweep.gridMostNeg);
            design.ExamineGridMostPos = static_cast<float>(sweep.gridMostPos);
            design.ExamineGridStep = static_cast<float>(sweep.gridStep);
            const QString path = dir.filePath(tube + ".ASC");
            const FileResult written = WritePlotterFile(path.toStdString(), design);
            QVERIFY2(written.ok, written.message.c_str());
            // As the schematic program netlists it: the subcircuit text item, the tube U1
            // with plate, grid and cathode, and the sweep directive.
            const QList<QByteArray> lines = ReadFile(path).split('\n');
            QCOMPARE(lines.size(), 31); // 30 lines and the empty rest after the last line end
            netlist += ItemText(lines[28]) + "\nXU1 plate grid 0 " + tube.toLatin1() + "\n" +
                       ItemText(lines[29]) + "\n";
        }
        netlist += "Vplate plate 0 0\nVgrid grid 0 0\n" + kControlBlock;

        QString error;
        const QList<SweepPoint> points =
            RunNgspice(dir, route == Route::CircuitFile ? "ps" : "psa", given, netlist, error);
        QVERIFY2(!points.isEmpty(), qPrintable(error));
        const QList<double> grids = Steps(sweep.gridMostNeg, sweep.gridMostPos, sweep.gridStep);
        QCOMPARE(GridVoltages(points), grids);
        // The schematic's accumulated plate voltage may pass full scale just before the
        // last step.
        const qsizetype most = grids.size() * (qRound(sweep.fullscale / sweep.plateStep) + 1);
        const qsizetype fewest = most - (route == Route::Schematic ? grids.size() : 0);
        QVERIFY2(points.size() >= fewest && points.size() <= most,
                 qPrintable(QString::number(points.size())));

        const Agreement agreement = Compare(points, parameters);
        QVERIFY2(agreement.misfit.isEmpty(), qPrintable(agreement.misfit));
        QVERIFY(agreement.compared > 0);
        qInfo("%d points compared (%d with the straight Exp), worst relative error %.3g",
              agreement.compared, agreement.linearExp, agreement.worst);
    }
};

QTEST_GUILESS_MAIN(TestNgspice)
#include "tst_Ngspice.moc"
