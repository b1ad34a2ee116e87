#include "state/EngineeringText.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <utility>

using namespace valvix;

namespace {

// Exact text of a Single, so that comparisons do not go through QCOMPARE's fuzziness.
QString Exact(float value) {
    return QString::number(value, 'g', 9);
}

} // namespace

class tst_EngineeringText final : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("value");
        QTest::newRow("suffix k") << "4.7k" << 4700.0f;
        QTest::newRow("m is milli") << "250m" << 0.25f;
        QTest::newRow("M is mega") << "250M" << 250000000.0f;
        QTest::newRow("G and g") << "2g" << 2e9f;
        QTest::newRow("U is micro") << "4.7U" << 4.7f * 1e-6f;
        QTest::newRow("P is pico") << "5P" << 5.0f * 1e-12f;
        QTest::newRow("digits and suffix after suffix dropped") << "4k7m" << 4000.0f;
        QTest::newRow("suffix before digits dropped") << "k5" << 5.0f;
        QTest::newRow("suffix after sign only") << "-m5" << 0.0f;
        QTest::newRow("unit letter and blanks") << "  300 V " << 300.0f;
        QTest::newRow("comma as point, second point dropped") << "1,2.3" << 1.23f;
        QTest::newRow("comma after point dropped") << "1.5,3" << 1.53f;
        QTest::newRow("Single rounding") << "0.1" << 0.1f;
        QTest::newRow("sign inside dropped") << "-5-3" << -53.0f;
        QTest::newRow("negative exponent") << "2.5E-3" << 0.0025f;
        QTest::newRow("no point or suffix after exponent") << "2E0.5k" << 200000.0f;
        QTest::newRow("second exponent dropped") << "2.5E-1e" << 0.25f;
        QTest::newRow("exponent before digits dropped") << "E5" << 5.0f;
        QTest::newRow("empty") << "" << 0.0f;
        QTest::newRow("cut to 12 characters") << "1.0000000000k" << 1.0f;
        QTest::newRow("cut after trimming") << "   1 2 3 4 5 6 7k  " << 123456.0f;
        QTest::newRow("multi-byte character counts once") << "ΩΩΩΩΩΩΩΩΩΩΩ5" << 5.0f;
        QTest::newRow("million blanks around")
            << QString(500'000, ' ') + "2k" + QString(500'000, ' ') << 2000.0f;
        QTest::newRow("clamped") << "99G" << 1e10f;
        QTest::newRow("negative beyond limit, within Single") << "-1E38" << -1e10f;
        QTest::newRow("negative overflow is positive") << "-1E39" << 1e10f;
        QTest::newRow("overflow before suffix") << "9E38G" << 1e10f;
        QTest::newRow("underflow") << "1E-50p" << 0.0f;
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(float, value);
        QCOMPARE(Exact(ParseEngineering(text.toStdString())), Exact(value));
        float destination = -1.0f;
        ParseEngineering(text.toStdString(), destination);
        QCOMPARE(Exact(destination), Exact(value));
    }

    void format_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("giga") << 2.5e9 << "2.5G";
        QTest::newRow("giga beyond 1000") << 1e12 << "1000G";
        QTest::newRow("mega") << 2200000.0 << "2.2M";
        QTest::newRow("kilo") << 12345.0 << "12.345k";
        QTest::newRow("kilo rounds to 1000k") << 999999.7 << "1000k";
        QTest::newRow("negative kilo half away") << -1234.5 << "-1.235k";
        QTest::newRow("hundreds, 2 decimals") << 123.456 << "123.46 ";
        QTest::newRow("tens, 3 decimals") << 12.34567 << "12.346 ";
        QTest::newRow("tens half as written") << 12.3455 << "12.346 ";
        QTest::newRow("units, 4 decimals") << 1.234567 << "1.2346 ";
        QTest::newRow("fraction, 5 decimals") << 0.0123456 << "0.01235 ";
        QTest::newRow("fraction half away") << 0.000125 << "0.00013 ";
        QTest::newRow("rounds up to 2E-05") << -0.000015 << "-2E-05 ";
        QTest::newRow("0.00001 is zero") << 0.00001 << "0  ";
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << "0  ";
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "InfG";
    }
    void format() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatEngineering(value)), text);
        std::string destination = "old text";
        FormatEngineering(value, destination);
        QCOMPARE(QString::fromStdString(destination), text);
    }

    // What the Examine window writes into a box is read back into its field: the value
    // read must be within half a unit of the band's last decimal.
    void formatThenParse() {
        constexpr std::pair<double, double> kUnits[] = {{1e9, 1e6},    {1e6, 1e3},    {1e3, 1.0},
                                                        {100.0, 0.01}, {10.0, 0.001}, {1.0, 1e-4}};
        for (double magnitude = 1.3e-5; magnitude < 9e9; magnitude *= 1.37) {
            double unit = 1e-5;
            for (const auto& [lowest, step] : kUnits) {
                if (magnitude >= lowest) {
                    unit = step;
                    break;
                }
            }
            for (const double value : {magnitude, -magnitude}) {
                const std::string text = FormatEngineering(value);
                const double readBack = ParseEngineering(text);
                QVERIFY2(std::fabs(readBack - value) <= unit / 2 + magnitude * 2e-7,
                         qPrintable(QString("%1 -> \"%2\" -> %3")
                                        .arg(value, 0, 'g', 17)
                                        .arg(QString::fromStdString(text))
                                        .arg(readBack, 0, 'g', 9)));
            }
        }
    }
};

QTEST_APPLESS_MAIN(tst_EngineeringText)
#include "tst_EngineeringText.moc"
