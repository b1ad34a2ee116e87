#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "support/SampleDesign.h"

#include <QtTest>

using namespace valvix;
using namespace valvix::test;

namespace {

// clang-format off
const QByteArray kCircuitTail = "E1   7   0   Value=\r\n+{V(1,3)/Kp*Log(1+Exp(Kp*(1/Mu+V(2,3)/Sqrt(Kvb+V(1,3)*V(1,3)))))}\r\n"
    "Re1   7   0   1G\r\nG1   1   3   Value={(Pwr(V(7),Ex)+Pwrs(V(7),Ex))/Kg1}\r\nRcp   1   3   1G\r\n"
    "C1   2   3   1p   ;grid-cathode\r\nC2   1   2   1p   ;plate-grid\r\nC3   1   3   1p   ;plate-cathode\r\n"
    "D1   5   3   Dx   ;for grid current\r\nR1   2   5   2000   ;for grid current\r\n"
    ".Model  Dx  D(Is=1n  Rs=1  Cjo=1p  Tt=1n)\r\n.Ends\r\n";
// clang-format on
const QByteArray kParameters = "+ PARAMS:  Mu=100  Ex=1.4  Kg1=1060  Kp=600  Kvb=300";
const QByteArray kSheet = "Version 4\r\nSHEET 1 1760 768\r\nWIRE 144 -96 32 -96\r\nWIRE 32 16 32 -96\r\n"
                          "WIRE -16 64 -112 64\r\nWIRE -112 128 -112 64\r\nWIRE 144 128 144 -96\r\n"
                          "WIRE -112 288 -112 208\r\nWIRE 0 288 0 112\r\nWIRE 144 288 144 208\r\nFLAG -112 288 0\r\n"
                          "FLAG 144 288 0\r\nFLAG 0 288 0\r\nSYMBOL voltage -112 112 M0\r\nWINDOW 0 19 5 Left 0\r\n"
                          "WINDOW 3 22 104 Left 0\r\nSYMATTR InstName Vgrid\r\nSYMATTR Value 0\r\n"
                          "SYMBOL voltage 144 112 R0\r\nWINDOW 0 13 5 Left 0\r\nWINDOW 3 15 104 Left 0\r\n"
                          "SYMATTR InstName Vplate\r\nSYMATTR Value 0\r\nSYMBOL Misc\\\\triode 32 64 R0\r\n"
                          "WINDOW 0 -24 -103 Right 0\r\nWINDOW 3 -26 -71 Right 0\r\nSYMATTR InstName U1\r\n";
// The .CKT lines 3 to 14 as the schematic's text item holds them: joined by the two
// characters \ and n, the E1 line with "Value = ".
const QByteArray kDirectiveTail =
    QByteArray(kCircuitTail).replace("Value=\r", "Value = \r").replace("\r\n", "\\n").chopped(2);

QByteArray Circuit(const Design& d, const char* name) {
    return QByteArray::fromStdString(SubcircuitText(d, name));
}
QByteArray Schematic(const ExaminedDesign& d, const char* name) {
    return QByteArray::fromStdString(SchematicText(d, d, name));
}
QByteArray Line(const QByteArray& text, int index) {
    return text.split('\n').at(index).chopped(1);
}

} // namespace

class tst_Export final : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void texts() {
        const ExaminedDesign d = ExaminedSample();
        QCOMPARE(Circuit(d, "12AX7"), ".SUBCKT  12AX7  1 2 3    ;P G K \r\n" + kParameters + "\r\n" + kCircuitTail);
        QCOMPARE(Schematic(d, "12AX7"),
                 kSheet + "SYMATTR Value 12AX7\r\nTEXT 272 -80 Left 0 !.SUBCKT  12AX7  1 2 3    ;P G K\\n" +
                     kParameters + "\\n" + kDirectiveTail +
                     "\r\nTEXT -128 360 Left 0 !.DC  Vplate  0   250  0.25   Vgrid  -10  0  1 \r\n");
        QCOMPARE(Line(Circuit(d, ""), 0), ".SUBCKT    1 2 3    ;P G K ");
        QCOMPARE(Line(Schematic(d, ""), 27), "SYMATTR Value ");
        QCOMPARE(Line(Circuit(d, " 6SN7 GT "), 0), ".SUBCKT   6SN7 GT   1 2 3    ;P G K ");
        // A line break pasted with the name, or a tab, never breaks or adds a line.
        QCOMPARE(Circuit(d, "12AX7\r\n.control\x7F\t"), Circuit(d, "12AX7.control"));
        QCOMPARE(Schematic(d, "\n12AX7\n"), Schematic(d, "12AX7"));
    }

    // The sweep over the Examine settings; before that window first opened, over the
    // values it would show then: the design's, read back from their box texts, the grid
    // step raised to its minimum.
    void sweep() {
        // clang-format off
        const std::tuple<int, Values, const char*> kSweeps[] = { // full scale, most negative, most positive, grid step
            {1, {1, -20, -0.0f, 5}, " 1  0.001   Vgrid  -20  0  5 "},
            {1, {1.2345678e7f, -1e8f, 0, 1e-5f}, " 1.234568E+07  12345.68   Vgrid  -1E+08  0  1E-05 "},
            {0, {250, -10, 0, 1}, " 250  0.25   Vgrid  -10  0  1 "},
            {0, {1234.567f, -3.333333f, 1.23456f, 0.333333f}, " 1235  1.235   Vgrid  -3.3333  1.2346  0.33333 "},
            {0, {300, -10, 0, 0.05f}, " 300  0.3   Vgrid  -10  0  0.5 "}, {0, {300, -1, 0, 0.05f}, " 300  0.3   Vgrid  -1  0  0.1 "}};
        // clang-format on
        for (const auto& [kept, v, numbers] : kSweeps) {
            ExaminedDesign d{SampleDesign(), {}};
            d.ExamineSettingsKept = kept;
            (kept ? d.ExamineVoltsFullscale : d.PlateVoltageFullscale) = v[0];
            (kept ? d.ExamineGridMostNeg : d.GridVoltageMostNeg) = v[1];
            (kept ? d.ExamineGridMostPos : d.GridVoltageMostPos) = v[2];
            (kept ? d.ExamineGridStep : d.GridVoltageStep) = v[3];
            QCOMPARE(QString::fromStdString(SweepDirective(d, d)),
                     "TEXT -128 360 Left 0 !.DC  Vplate  0  " + QString(numbers));
        }
    }

    // Each writer replaces a file whole, with the parameter texts as they are now, and
    // says when it fails.
    void writers() {
        for (const bool schematic : {false, true}) {
            ExaminedDesign d = ExaminedSample();
            const auto writer = [&](const std::string& path, const char* name) {
                return schematic ? WritePlotterFile(path, d, d, name) : WriteCircuitFile(path, d, name);
            };
            const std::string path = dir.filePath("12AX7.OUT").toStdString();
            QVERIFY(writer(path, "a name long enough to make the first file the longer one").ok);
            d.Kp = 12345678;
            QVERIFY(writer(path, "12AX7").ok && writer("", "12AX7").ok);
            QFile file(QString::fromStdString(path));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            QCOMPARE(text, schematic ? Schematic(d, "12AX7") : Circuit(d, "12AX7"));
            QVERIFY(text.contains("+ PARAMS:  Mu=100  Ex=1.4  Kg1=1060  Kp=1.234568E+07  Kvb=300"));
            QCOMPARE(writer(dir.filePath("missing/a").toStdString(), "12AX7").message,
                     schematic ? "The .ASC (schematic file) was not written"
                               : "The .CKT (circuit file) was not written");
            QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                     QStringList{"12AX7.OUT"});
        }
    }
};

QTEST_APPLESS_MAIN(tst_Export)
#include "tst_Export.moc"
