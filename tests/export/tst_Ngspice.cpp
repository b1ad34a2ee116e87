// Runs the exported subcircuit and the test schematic's circuit through ngspice and
// checks the simulated plate current against the model, sweep point by sweep point.

#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "model/Triode.h"
#include "state/DesignState.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

Q_DECLARE_METATYPE(valvix::TriodeParameters)

using namespace valvix;

namespace {

// ngspice understands Pwrs only in its PSpice compatibility mode, set by
// "set ngbehavior=..." in a .spiceinit in the working directory or by
// "-D ngbehavior=..." on the command line. "ps" applies it to .include'd files, which
// is enough for the .CKT; the schematic's subcircuit sits in the netlist itself and
// needs "psa" (all files).
const QByteArray kIncludedFilesMode = "ps";
const QByteArray kWholeNetlistMode = "psa";

enum class ModeGiven { SpiceInit, CommandLine };

// Every ngspice run ends well within this; it only keeps a hung simulator from
// hanging the test.
constexpr int kRunLimitMs = 60000;

constexpr double kPlateCathodeOhms = 1e9; // Rcp of the subcircuit
constexpr double kSmallestCurrent = 1e-6; // amperes; smaller currents are not compared
// Relative. Besides Rcp's share, which is taken off, the simulated current differs from
// the model by up to ngspice's own convergence tolerance (RELTOL, 1e-3 by default).
constexpr double kTolerance = 0.005;

// One row of the simulator's output.
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

// Totals across all runs, printed at the end.
int gComparedPoints = 0;
int gLinearExpPoints = 0;
double gWorstError = 0;

TriodeParameters Parameters(float mu, float ex, float kg1, float kp, float kvb) {
    TriodeParameters p;
    p.Mu = mu;
    p.Ex = ex;
    p.Kg1 = kg1;
    p.Kp = kp;
    p.Kvb = kvb;
    return p;
}

DesignState DesignFor(const QString& tubeName, const TriodeParameters& p) {
    DesignState design;
    design.TubeName = tubeName.toStdString();
    design.Mu = p.Mu;
    design.Ex = p.Ex;
    design.Kg1 = p.Kg1;
    design.Kp = p.Kp;
    design.Kvb = p.Kvb;
    return design;
}

QString NgspicePath() {
    return QStandardPaths::findExecutable(QStringLiteral("ngspice"));
}

// The part of a netlist after the circuit: run the sweep and write the plate current
// with the two voltages it belongs to, then leave with exit code 0.
QByteArray ControlBlock() {
    return ".control\n"
           "set wr_singlescale\n"
           "set wr_vecnames\n"
           "run\n"
           "wrdata sweep.txt -i(Vplate) v(grid) v(plate)\n"
           "quit\n"
           ".endc\n"
           ".end\n";
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs netlist in dir with the given compatibility mode and reads the sweep back. On
// failure, error says why and carries ngspice's own output. When the mode goes on the
// command line, the .spiceinit in dir says nothing, which also keeps one in the home
// folder out.
bool RunNgspice(const QDir& dir, const QByteArray& mode, ModeGiven given, const QByteArray& netlist,
                QList<SweepPoint>& points, QString& error) {
    const QByteArray init = given == ModeGiven::SpiceInit ? "set ngbehavior=" + mode + "\n"
                                                          : "* mode given on the command line\n";
    if (!WriteFile(dir.filePath(QStringLiteral(".spiceinit")), init) ||
        !WriteFile(dir.filePath(QStringLiteral("check.cir")), netlist)) {
        error = QStringLiteral("cannot write the netlist in %1").arg(dir.path());
        return false;
    }
    QFile::remove(dir.filePath(QStringLiteral("sweep.txt")));

    QProcess ngspice;
    ngspice.setWorkingDirectory(dir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("SPICE_USERINIT_DIR")); // would hide our .spiceinit
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    ngspice.setProcessEnvironment(environment);
    ngspice.setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments{QStringLiteral("-b"), QStringLiteral("check.cir")};
    if (given == ModeGiven::CommandLine) {
        arguments.prepend(QStringLiteral("ngbehavior=") + QString::fromLatin1(mode));
        arguments.prepend(QStringLiteral("-D"));
    }
    ngspice.start(NgspicePath(), arguments);
    if (!ngspice.waitForFinished(kRunLimitMs)) {
        ngspice.kill();
        ngspice.waitForFinished();
        error = QStringLiteral("ngspice did not finish: ") + ngspice.errorString();
        return false;
    }
    const QString log = QString::fromLocal8Bit(ngspice.readAll());

    const QList<QByteArray> lines = ReadFile(dir.filePath(QStringLiteral("sweep.txt"))).split('\n');
    points.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) { // line 0 names the columns
        const QByteArray line = lines[i].simplified();
        if (line.isEmpty()) {
            continue;
        }
        const QList<QByteArray> fields = line.split(' ');
        bool ok[3] = {false, false, false};
        SweepPoint point;
        if (fields.size() == 4) {
            point.PlateCurrent = fields[1].toDouble(&ok[0]);
            point.Vg = fields[2].toDouble(&ok[1]);
            point.Vp = fields[3].toDouble(&ok[2]);
        }
        if (!(ok[0] && ok[1] && ok[2])) {
            error = QStringLiteral("unreadable sweep line \"%1\"; ngspice said:\n%2")
                        .arg(QString::fromLatin1(line), log);
            return false;
        }
        points.append(point);
    }
    if (ngspice.exitStatus() != QProcess::NormalExit || ngspice.exitCode() != 0 ||
        points.isEmpty() || log.contains(QStringLiteral("Error"), Qt::CaseInsensitive)) {
        error = QStringLiteral("ngspice run failed (exit code %1, %2 sweep points); it said:\n%3")
                    .arg(ngspice.exitCode())
                    .arg(points.size())
                    .arg(log);
        return false;
    }
    return true;
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
// kSmallestCurrent. The subcircuit's plate-cathode resistor carries Vp / Rcp besides the
// modelled current; that share is taken off first. The expected current is the model's,
// or, where ngspice's Exp runs straight, the equation's with that Exp.
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
        if (linearExp) {
            ++agreement.linearExp;
        }
        const double error = ok ? std::abs(simulated - expected) / expected : std::nan("");
        agreement.worst = std::max(agreement.worst, error);
        if (!(error <= kTolerance) && agreement.misfit.isEmpty()) {
            agreement.misfit = QStringLiteral("Vp %1 V, Vg %2 V: ngspice %3 A, expected %4 A%5")
                                   .arg(point.Vp)
                                   .arg(point.Vg)
                                   .arg(simulated, 0, 'g', 9)
                                   .arg(expected, 0, 'g', 9)
                                   .arg(linearExp ? QStringLiteral(" (with the straight Exp)")
                                        : ok      ? QString()
                                                  : QStringLiteral(" (the model point failed)"));
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

void Record(const Agreement& agreement) {
    gComparedPoints += agreement.compared;
    gLinearExpPoints += agreement.linearExp;
    gWorstError = std::max(gWorstError, agreement.worst);
}

} // namespace

Q_DECLARE_METATYPE(ModeGiven)

class TestNgspice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void subcircuitFile_data();
    void subcircuitFile();
    void schematicCircuit_data();
    void schematicCircuit();
};

void TestNgspice::initTestCase() {
    if (NgspicePath().isEmpty()) {
        QFAIL("ngspice not installed");
    }
}

void TestNgspice::cleanupTestCase() {
    qInfo("%d sweep points compared (%d with the straight Exp), worst relative error %.3g",
          gComparedPoints, gLinearExpPoints, gWorstError);
}

// Parameter sets across the accepted ranges, with a sweep that suits each. Every
// step is a binary fraction, so ngspice's accumulated sweep values are exact.
void TestNgspice::subcircuitFile_data() {
    QTest::addColumn<QString>("tubeName");
    QTest::addColumn<TriodeParameters>("parameters");
    QTest::addColumn<double>("fullscale");
    QTest::addColumn<double>("plateStep");
    QTest::addColumn<double>("gridMostNeg");
    QTest::addColumn<double>("gridMostPos");
    QTest::addColumn<double>("gridStep");
    QTest::addColumn<ModeGiven>("given");

    const ModeGiven init = ModeGiven::SpiceInit;
    QTest::newRow("12AX7") << QStringLiteral("12AX7") << Parameters(100, 1.4f, 1060, 600, 300)
                           << 300.0 << 3.0 << -4.0 << 0.0 << 1.0 << init;
    QTest::newRow("12AX7, mode on the command line")
        << QStringLiteral("12AX7") << Parameters(100, 1.4f, 1060, 600, 300) << 300.0 << 3.0 << -4.0
        << 0.0 << 1.0 << ModeGiven::CommandLine;
    QTest::newRow("12AU7") << QStringLiteral("12AU7") << Parameters(21.5f, 1.3f, 1180, 84, 300)
                           << 400.0 << 4.0 << -20.0 << 0.0 << 5.0 << init;
    QTest::newRow("power triode 2A3")
        << QStringLiteral("2A3") << Parameters(4.2f, 1.4f, 1500, 60, 24) << 400.0 << 4.0 << -100.0
        << 0.0 << 25.0 << init;
    QTest::newRow("positive grid") << QStringLiteral("6N1P") << Parameters(35, 1.35f, 300, 300, 500)
                                   << 250.0 << 2.5 << -6.0 << 2.0 << 2.0 << init;
    QTest::newRow("smallest Mu Kp Kg1 Kvb")
        << QStringLiteral("LOWEST") << Parameters(1, 2, 0.001f, 1, 0.001f) << 16.0 << 0.25 << -16.0
        << 0.0 << 8.0 << init;
    QTest::newRow("largest Mu Kp Kvb")
        << QStringLiteral("HIGHEST") << Parameters(100000, 1.1f, 1, 10000, 1e7f) << 1000.0 << 10.0
        << -0.25 << 0.0 << 0.125 << init;
    QTest::newRow("largest Kg1") << QStringLiteral("KG1MAX")
                                 << Parameters(50, 1.8f, 100000, 1, 1000) << 500.0 << 5.0 << -50.0
                                 << 0.0 << 25.0 << init;
}

void TestNgspice::subcircuitFile() {
    QFETCH(QString, tubeName);
    QFETCH(TriodeParameters, parameters);
    QFETCH(double, fullscale);
    QFETCH(double, plateStep);
    QFETCH(double, gridMostNeg);
    QFETCH(double, gridMostPos);
    QFETCH(double, gridStep);
    QFETCH(ModeGiven, given);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QDir dir(temporary.path());
    const QString circuitName = tubeName + QStringLiteral(".CKT");

    DesignState design = DesignFor(tubeName, parameters);
    const FileResult written = WriteCircuitFile(dir.filePath(circuitName).toStdString(), design);
    QVERIFY2(written.ok, written.message.c_str());

    const QByteArray netlist = "* " + tubeName.toLatin1() + " subcircuit against the model\n" +
                               ".include " + circuitName.toLatin1() + "\n" + "X1 plate grid 0 " +
                               tubeName.toLatin1() + "\n" + "Vplate plate 0 0\n" +
                               "Vgrid grid 0 0\n" +
                               QStringLiteral(".DC Vplate 0 %1 %2 Vgrid %3 %4 %5\n")
                                   .arg(fullscale)
                                   .arg(plateStep)
                                   .arg(gridMostNeg)
                                   .arg(gridMostPos)
                                   .arg(gridStep)
                                   .toLatin1() +
                               ControlBlock();

    QList<SweepPoint> points;
    QString error;
    QVERIFY2(RunNgspice(dir, kIncludedFilesMode, given, netlist, points, error), qPrintable(error));

    const QList<double> grids = Steps(gridMostNeg, gridMostPos, gridStep);
    QCOMPARE(GridVoltages(points), grids);
    QCOMPARE(points.size(), Steps(0, fullscale, plateStep).size() * grids.size());

    const Agreement agreement = Compare(points, parameters);
    Record(agreement);
    QVERIFY2(agreement.misfit.isEmpty(), qPrintable(agreement.misfit));
    QVERIFY(agreement.compared > 0);
    qInfo("%d points compared (%d with the straight Exp), worst relative error %.3g",
          agreement.compared, agreement.linearExp, agreement.worst);
}

void TestNgspice::schematicCircuit_data() {
    QTest::addColumn<QString>("tubeName");
    QTest::addColumn<TriodeParameters>("parameters");
    QTest::addColumn<float>("fullscale");
    QTest::addColumn<float>("gridMostNeg");
    QTest::addColumn<float>("gridMostPos");
    QTest::addColumn<float>("gridStep");
    QTest::addColumn<ModeGiven>("given");

    QTest::newRow("12AX7") << QStringLiteral("12AX7") << Parameters(100, 1.4f, 1060, 600, 300)
                           << 300.0f << -4.0f << 0.0f << 1.0f << ModeGiven::SpiceInit;
    QTest::newRow("12AX7, mode on the command line")
        << QStringLiteral("12AX7") << Parameters(100, 1.4f, 1060, 600, 300) << 300.0f << -4.0f
        << 0.0f << 1.0f << ModeGiven::CommandLine;
    QTest::newRow("power triode 2A3")
        << QStringLiteral("2A3") << Parameters(4.2f, 1.4f, 1500, 60, 24) << 400.0f << -100.0f
        << 0.0f << 25.0f << ModeGiven::SpiceInit;
}

// The schematic's circuit as the schematic program would netlist it: its subcircuit
// text item, the tube U1 with plate, grid and cathode, Vgrid from the grid and Vplate
// from the plate to ground, the cathode grounded, and its sweep directive.
void TestNgspice::schematicCircuit() {
    QFETCH(QString, tubeName);
    QFETCH(TriodeParameters, parameters);
    QFETCH(float, fullscale);
    QFETCH(float, gridMostNeg);
    QFETCH(float, gridMostPos);
    QFETCH(float, gridStep);
    QFETCH(ModeGiven, given);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QDir dir(temporary.path());
    const QString schematicPath = dir.filePath(tubeName + QStringLiteral(".ASC"));

    DesignState design = DesignFor(tubeName, parameters);
    design.ExamineSettingsKept = 1;
    design.ExamineVoltsFullscale = fullscale;
    design.ExamineGridMostNeg = gridMostNeg;
    design.ExamineGridMostPos = gridMostPos;
    design.ExamineGridStep = gridStep;
    const FileResult written = WritePlotterFile(schematicPath.toStdString(), design);
    QVERIFY2(written.ok, written.message.c_str());

    QList<QByteArray> lines = ReadFile(schematicPath).split('\n');
    QCOMPARE(lines.size(), 31); // 30 lines and the empty rest after the last line end
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    QCOMPARE(lines[27], "SYMATTR Value " + tubeName.toLatin1());
    const QByteArray subcircuitItem = lines[28];
    const QByteArray sweepItem = lines[29];
    QVERIFY2(subcircuitItem.startsWith("TEXT ") && subcircuitItem.contains('!'),
             subcircuitItem.constData());
    QVERIFY2(sweepItem.startsWith("TEXT ") && sweepItem.contains('!'), sweepItem.constData());
    QByteArray subcircuit = subcircuitItem.mid(subcircuitItem.indexOf('!') + 1);
    subcircuit.replace("\\n", "\n");
    const QByteArray sweep = sweepItem.mid(sweepItem.indexOf('!') + 1);
    QVERIFY2(sweep.startsWith(".DC"), sweep.constData());

    const QByteArray netlist = "* " + tubeName.toLatin1() + " test schematic\n" + subcircuit +
                               "\n" + "XU1 plate grid 0 " + tubeName.toLatin1() + "\n" +
                               "Vgrid grid 0 0\n" + "Vplate plate 0 0\n" + sweep + "\n" +
                               ControlBlock();

    QList<SweepPoint> points;
    QString error;
    QVERIFY2(RunNgspice(dir, kWholeNetlistMode, given, netlist, points, error), qPrintable(error));

    // The plate sweep takes 1000 steps of a thousandth of full scale; ngspice's
    // accumulated plate voltage may pass full scale just before the last one.
    const QList<double> grids = Steps(gridMostNeg, gridMostPos, gridStep);
    QCOMPARE(GridVoltages(points), grids);
    QVERIFY2(points.size() >= 1000 * grids.size() && points.size() <= 1001 * grids.size(),
             qPrintable(QString::number(points.size())));

    const Agreement agreement = Compare(points, parameters);
    Record(agreement);
    QVERIFY2(agreement.misfit.isEmpty(), qPrintable(agreement.misfit));
    QVERIFY(agreement.compared > 0);
    qInfo("%d points compared (%d with the straight Exp), worst relative error %.3g",
          agreement.compared, agreement.linearExp, agreement.worst);
}

QTEST_GUILESS_MAIN(TestNgspice)
#include "tst_Ngspice.moc"
