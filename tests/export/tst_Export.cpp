#include "export/Schematic.h"
#include "export/Subcircuit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <locale>
#include <string>

using namespace valvix;

namespace {

const QByteArray kCircuit12AX7 =
    ".SUBCKT  12AX7  1 2 3    ;P G K \r\n"
    "+ PARAMS:  Mu=100  Ex=1.4  Kg1=1060  Kp=600  Kvb=300\r\n"
    "E1   7   0   Value=\r\n"
    "+{V(1,3)/Kp*Log(1+Exp(Kp*(1/Mu+V(2,3)/Sqrt(Kvb+V(1,3)*V(1,3)))))}\r\n"
    "Re1   7   0   1G\r\n"
    "G1   1   3   Value={(Pwr(V(7),Ex)+Pwrs(V(7),Ex))/Kg1}\r\n"
    "Rcp   1   3   1G\r\n"
    "C1   2   3   1p   ;grid-cathode\r\n"
    "C2   1   2   1p   ;plate-grid\r\n"
    "C3   1   3   1p   ;plate-cathode\r\n"
    "D1   5   3   Dx   ;for grid current\r\n"
    "R1   2   5   2000   ;for grid current\r\n"
    ".Model  Dx  D(Is=1n  Rs=1  Cjo=1p  Tt=1n)\r\n"
    ".Ends\r\n";

// With the Examine settings at 300 V and -10 V to 0 V in 1 V steps.
const QByteArray kSchematic12AX7 =
    "Version 4\r\nSHEET 1 1760 768\r\n"
    "WIRE 144 -96 32 -96\r\nWIRE 32 16 32 -96\r\nWIRE -16 64 -112 64\r\n"
    "WIRE -112 128 -112 64\r\nWIRE 144 128 144 -96\r\nWIRE -112 288 -112 208\r\n"
    "WIRE 0 288 0 112\r\nWIRE 144 288 144 208\r\n"
    "FLAG -112 288 0\r\nFLAG 144 288 0\r\nFLAG 0 288 0\r\n"
    "SYMBOL voltage -112 112 M0\r\nWINDOW 0 19 5 Left 0\r\nWINDOW 3 22 104 Left 0\r\n"
    "SYMATTR InstName Vgrid\r\nSYMATTR Value 0\r\n"
    "SYMBOL voltage 144 112 R0\r\nWINDOW 0 13 5 Left 0\r\nWINDOW 3 15 104 Left 0\r\n"
    "SYMATTR InstName Vplate\r\nSYMATTR Value 0\r\n"
    "SYMBOL Misc\\\\triode 32 64 R0\r\nWINDOW 0 -24 -103 Right 0\r\nWINDOW 3 -26 -71 Right 0\r\n"
    "SYMATTR InstName U1\r\nSYMATTR Value 12AX7\r\n"
    "TEXT 272 -80 Left 0 !.SUBCKT  12AX7  1 2 3    ;P G K"
    "\\n+ PARAMS:  Mu=100  Ex=1.4  Kg1=1060  Kp=600  Kvb=300\\nE1   7   0   Value = "
    "\\n+{V(1,3)/Kp*Log(1+Exp(Kp*(1/Mu+V(2,3)/Sqrt(Kvb+V(1,3)*V(1,3)))))}\\nRe1   7   0   1G"
    "\\nG1   1   3   Value={(Pwr(V(7),Ex)+Pwrs(V(7),Ex))/Kg1}\\nRcp   1   3   1G"
    "\\nC1   2   3   1p   ;grid-cathode\\nC2   1   2   1p   ;plate-grid"
    "\\nC3   1   3   1p   ;plate-cathode\\nD1   5   3   Dx   ;for grid current"
    "\\nR1   2   5   2000   ;for grid current\\n.Model  Dx  D(Is=1n  Rs=1  Cjo=1p  "
    "Tt=1n)\\n.Ends\r\n"
    "TEXT -128 360 Left 0 !.DC  Vplate  0   300  0.3   Vgrid  -10  0  1 \r\n";

DesignState TwelveAX7() {
    DesignState design;
    design.TubeName = "12AX7";
    design.Mu = 100;
    design.Ex = 1.4f;
    design.Kg1 = 1060;
    design.Kp = 600;
    design.Kvb = 300;
    design.ExamineSettingsKept = 1;
    design.ExamineVoltsFullscale = 300;
    design.ExamineGridMostNeg = -10;
    design.ExamineGridMostPos = 0;
    design.ExamineGridStep = 1;
    return design;
}

// Lines of a text that must end in CR LF; a bare LF or a missing last end is marked.
QList<QByteArray> Lines(const std::string& text) {
    QList<QByteArray> lines = QByteArray::fromStdString(text).split('\n');
    const QByteArray rest = lines.takeLast();
    for (QByteArray& line : lines) {
        line = line.endsWith('\r') ? line.chopped(1) : line + "<bare LF>";
    }
    if (!rest.isEmpty()) {
        lines.append(rest + "<no line end>");
    }
    return lines;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

using Writer = FileResult (*)(const std::string&, DesignState&);

} // namespace

Q_DECLARE_METATYPE(Writer)

class tst_Export final : public QObject {
    Q_OBJECT
private slots:
    void twelveAX7Files() {
        QCOMPARE(QByteArray::fromStdString(SubcircuitText(TwelveAX7(), "12AX7")), kCircuit12AX7);
        QCOMPARE(QByteArray::fromStdString(SchematicText(TwelveAX7(), "12AX7")), kSchematic12AX7);
    }

    void tubeName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArrayList>("lines"); // the .CKT's first, the .ASC's 28th
        QTest::newRow("empty") << ""
                               << QByteArrayList{".SUBCKT    1 2 3    ;P G K ", "SYMATTR Value "};
        QTest::newRow("blanks kept")
            << " 6SN7 GT "
            << QByteArrayList{".SUBCKT   6SN7 GT   1 2 3    ;P G K ", "SYMATTR Value  6SN7 GT "};
    }
    void tubeName() {
        QFETCH(QString, name);
        QFETCH(QByteArrayList, lines);
        const QList<QByteArray> schematic = Lines(SchematicText(TwelveAX7(), name.toStdString()));
        QCOMPARE(schematic.size(), qsizetype(30));
        QCOMPARE((QByteArrayList{Lines(SubcircuitText(TwelveAX7(), name.toStdString())).at(0),
                                 schematic.at(27)}),
                 lines);
    }

    // Line 29 embeds the .CKT lines joined by the two characters \ n, except that its
    // first line has no trailing blank and the E1 line reads "Value = ". The texts kept
    // in the design are the ones written.
    void parameters_data() {
        QTest::addColumn<float>("mu");
        QTest::addColumn<float>("kg1");
        QTest::addColumn<float>("kvb");
        QTest::addColumn<QString>("line");
        QTest::newRow("seven digits")
            << 3.14159265f << 1234.5678f << -2.5f
            << "+ PARAMS:  Mu=3.141593  Ex=1.4  Kg1=1234.568  Kp=600  Kvb=-2.5";
        QTest::newRow("exponent form")
            << 1e-5f << 12345678.0f << 300.0f
            << "+ PARAMS:  Mu=1E-05  Ex=1.4  Kg1=1.234568E+07  Kp=600  Kvb=300";
    }
    void parameters() {
        QFETCH(float, mu);
        QFETCH(float, kg1);
        QFETCH(float, kvb);
        QFETCH(QString, line);
        DesignState design = TwelveAX7();
        design.Mu = mu;
        design.Kg1 = kg1;
        design.Kvb = kvb;
        QList<QByteArray> circuit = Lines(SubcircuitText(design, "T"));
        QCOMPARE(circuit.size(), qsizetype(14));
        QCOMPARE(circuit.at(1), line.toLatin1());
        circuit[0].chop(1);
        circuit[2] = "E1   7   0   Value = ";
        QCOMPARE(Lines(SchematicText(design, "T")).at(28),
                 "TEXT 272 -80 Left 0 !" + circuit.join("\\n"));

        design.MuText = "stale";
        UpdateSubcircuitTexts(design);
        const QString kept =
            QString("+ PARAMS:  Mu=%1  Ex=%2  Kg1=%3  Kp=%4  Kvb=%5")
                .arg(design.MuText.c_str(), design.ExText.c_str(), design.Kg1Text.c_str(),
                     design.KpText.c_str(), design.KvbText.c_str());
        QCOMPARE(kept, line);
    }

    void sweep_data() {
        QTest::addColumn<int>("kept");
        QTest::addColumn<QList<float>>("examine"); // full scale, grid most neg, most pos, step
        QTest::addColumn<QString>("numbers");
        // Until the Examine window fills its settings they are 0, and so is the sweep,
        // whatever plot range the design has.
        QTest::newRow("Examine never opened")
            << 0 << QList<float>{0, 0, 0, 0} << " 0  0   Vgrid   0  0  0 ";
        QTest::newRow("negative zero")
            << 1 << QList<float>{1, -20, -0.0f, 5} << " 1  0.001   Vgrid  -20  0  5 ";
        QTest::newRow("exponent form") << 1 << QList<float>{1.2345678e7f, -1e8f, 0, 1e-5f}
                                       << " 1.234568E+07  12345.68   Vgrid  -1E+08  0  1E-05 ";
    }
    void sweep() {
        QFETCH(int, kept);
        QFETCH(QList<float>, examine);
        QFETCH(QString, numbers);
        DesignState design = TwelveAX7();
        design.PlateVoltageFullscale = 350;
        design.GridVoltageMostNeg = -4;
        design.GridVoltageStep = 0.5f;
        design.ExamineSettingsKept = kept;
        design.ExamineVoltsFullscale = examine[0];
        design.ExamineGridMostNeg = examine[1];
        design.ExamineGridMostPos = examine[2];
        design.ExamineGridStep = examine[3];
        QCOMPARE(Lines(SchematicText(design, "12AX7")).at(29),
                 "TEXT -128 360 Left 0 !.DC  Vplate  0  " + numbers.toLatin1());
    }

    void periodUnderCommaLocale() {
        DesignState design = TwelveAX7();
        design.Ex = 1.35f;
        design.ExamineGridStep = 0.5f;
        const std::locale previous =
            std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
        const std::string previousC = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                break;
            }
        }
        const std::string circuit = SubcircuitText(design, "12AX7");
        const std::string schematic = SchematicText(design, "12AX7");
        std::setlocale(LC_ALL, previousC.c_str());
        std::locale::global(previous);
        QCOMPARE(Lines(circuit).at(1), "+ PARAMS:  Mu=100  Ex=1.35  Kg1=1060  Kp=600  Kvb=300");
        QVERIFY(Lines(schematic).at(28).contains("  Ex=1.35  "));
        QCOMPARE(Lines(schematic).at(29),
                 "TEXT -128 360 Left 0 !.DC  Vplate  0   300  0.3   Vgrid  -10  0  0.5 ");
    }

    void writers_data() {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("failure");
        QTest::newRow("circuit") << &WriteCircuitFile << kCircuit12AX7
                                 << "The .CKT (circuit file) was not written";
        QTest::newRow("schematic")
            << &WritePlotterFile << kSchematic12AX7 << "The .ASC (schematic file) was not written";
    }
    void writers() {
        QFETCH(Writer, writer);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, failure);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("12AX7.OUT");

        DesignState longer = TwelveAX7();
        longer.TubeName = "a tube name long enough to make the first file the longer one";
        longer.Kg1 = 12345678.0f;
        QVERIFY(writer(path.toStdString(), longer).ok);
        QCOMPARE(longer.Kg1Text, std::string("1.234568E+07"));
        DesignState design = TwelveAX7();
        QVERIFY(writer(path.toStdString(), design).ok);
        QCOMPARE(FileBytes(path), bytes);
        QCOMPARE(Entries(dir.path()), QStringList{"12AX7.OUT"});

        const FileResult missing = writer(dir.filePath("missing/12AX7.OUT").toStdString(), design);
        QCOMPARE(missing.ok, false);
        QCOMPARE(QString::fromStdString(missing.message), failure);
        QCOMPARE(Entries(dir.path()), QStringList{"12AX7.OUT"});

        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const FileResult empty = writer("", design);
        QDir::setCurrent(previous);
        QVERIFY(empty.ok);
        QCOMPARE(Entries(dir.path()), QStringList{"12AX7.OUT"});
    }
};

QTEST_GUILESS_MAIN(tst_Export)
#include "tst_Export.moc"
