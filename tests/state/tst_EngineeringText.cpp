#include "state/EngineeringText.h"

#include <QtTest>

#include <cfloat>

using namespace valvix;

namespace {

constexpr float kInf = INFINITY;
QString Exact(double value) {
    return QString::number(value, 'g', 17);
}

// clang-format off
const std::pair<const char*, float> kParsed[] = {
    {"4.7k", 4700}, {"4k7", 4000}, {"1,5", 1.5f}, {"1.2.3", 1.23f}, {"1.5,3", 1.53f}, {"250m", 0.25f},
    {"250M", 250e6f}, {"2K", 2000}, {"2k", 2000}, {"2g", 2e9f}, {"2G", 2e9f}, {"4.7U", 4.7f * 1e-6f},
    {"4.7u", 4.7f * 1e-6f}, {"5n", 5 * 1e-9f}, {"5N", 5 * 1e-9f}, {"5p", 5 * 1e-12f}, {"5P", 5 * 1e-12f},
    {"1E3", 1000}, {"1e3", 1000}, {"1E3k", 1000}, {"2.5E-3", 0.0025f}, {"2E0.5k", 200000}, {"2.5E-1e", 0.25f},
    {"E5", 5}, {"k5", 5}, {"-m5", 0}, {"-12", -12}, {"+12", 12}, {"5-3", 53}, {"-5-3", -53}, {"  300 V ", 300},
    {"", 0}, {"volts", 0}, {"0.1", 0.1f}, {"1.0000000000k", 1}, {"1.000000000k", 1000},
    {"   1 2 3 4 5 6 7k  ", 123456}, {"ΩΩΩΩΩΩΩΩΩΩΩ5", 5}, {"10000001k", 1e10f}, {"9999999k", 9999999e3f},
    {"-99G", -1e10f}, {"-1E38", -1e10f}, {"-1E39", 1e10f}, {"9E38G", 1e10f}, {"1E-50p", 0}};
const std::pair<double, const char*> kFormatted[] = {
    {2200000, "2.2M"}, {12345, "12.345k"}, {1000, "1k"}, {999999.7, "1000k"}, {999.9999, "1000 "}, {250, "250 "},
    {12.34567, "12.346 "}, {1.5, "1.5 "}, {0.0123456, "0.01235 "}, {-3.5, "-3.5 "}, {0.000011, "1E-05 "}, {0, "0  "},
    {0.00001, "0  "}, {-0.000001, "0  "}, {1e9, "1G"}, {-1.23456e9, "-1.235G"}, {1e12, "1000G"}, {1e6, "1M"},
    {1.23456e6, "1.235M"}, {999999999, "1000M"}, {-1234.5, "-1.235k"}, {100, "100 "}, {99.123456, "99.123 "},
    {123.456, "123.46 "}, {99.9995, "100 "}, {10, "10 "}, {12.3455, "12.346 "}, {1, "1 "}, {1.234567, "1.2346 "},
    {9.99999, "10 "}, {0.99999, "0.99999 "}, {0.000125, "0.00013 "}, {-0.000015, "-2E-05 "}, {NAN, "0  "},
    {kInf, "InfG"}};
// clang-format on

} // namespace

class tst_EngineeringText final : public QObject {
    Q_OBJECT
private slots:
    void engineeringTexts() {
        for (const auto& [text, value] : kParsed) {
            float destination = -1;
            ParseEngineering(text, destination);
            QVERIFY2(Exact(destination) == Exact(value), text);
        }
        const QString blanks(500'000, ' ');
        QCOMPARE(ParseEngineering((blanks + "2k" + blanks).toStdString()), 2000.0f);
        for (const auto& [value, text] : kFormatted) {
            std::string destination = "old";
            FormatEngineering(value, destination);
            QCOMPARE(QString::fromStdString(destination), QString(text));
        }
    }
};

QTEST_APPLESS_MAIN(tst_EngineeringText)
#include "tst_EngineeringText.moc"
