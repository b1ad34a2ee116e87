#include "state/NumberText.h"

#include <QtTest>

#include <cfloat>

using namespace valvix;

namespace {

constexpr float kInf = INFINITY;
QString Exact(double value) {
    return QString::number(value, 'g', 17);
}

// clang-format off
const std::pair<float, const char*> kGeneral[] = {
    {-0.0f, "0"}, {0.1f, "0.1"}, {-10, "-10"}, {1 / 3.0f, "0.3333333"}, {1234.5f, "1234.5"}, {9999999, "9999999"},
    {1e7f, "1E+07"}, {123456789.0f, "1.234568E+08"}, {1e-4f, "0.0001"}, {-1.2345e-4f, "-0.00012345"},
    {9.9e-5f, "9.9E-05"}, {1.5e-10f, "1.5E-10"}, {2e-9f, "2E-09"}, {1e-45f, "1E-45"}, {FLT_MAX, "3.402823E+38"},
    {NAN, "NaN"}, {kInf, "Inf"}, {-kInf, "-Inf"}};
const std::tuple<float, int, float> kRoundings[] = {
    {1.00005f, 4, 1.0001f}, {-1234.5f, 0, -1235}, {9.99995f, 4, 10}, {0.000125f, 5, 0.00013f}, {12.34549f, 3, 12.345f},
    {0.4f, 0, 0}, {0.6f, 0, 1}, {0.04f, 0, 0}, {2.5f, 3, 2.5f}, {kInf, 2, kInf}};
const std::pair<const char*, double> kPlain[] = {
    {"1 00", 100}, {"\t3\r\n4", 34}, {" - 5", -5}, {"--5", 0}, {"1.5k", 1.5}, {"abc", 0}, {".5", 0.5}, {"1.2.3", 1.2},
    {"000.000125", 0.000125}, {"0.1", 0.1}, {"1.06E3", 1060}, {"2.5d-3", 0.0025}, {"1D2", 100}, {"1E + 2", 100},
    {"7E", 7}, {"E5", 0}, {"1e400", kInf}, {"1e-400", 0}, {"-1e99999999999999999999", -kInf},
    {"123456789012345678901234567890123456789012345e-30", 123456789012345.678901234567890123}};
// clang-format on

} // namespace

class tst_NumberText final : public QObject {
    Q_OBJECT
private slots:
    void numberTexts() {
        for (const auto& [value, text] : kGeneral) {
            QCOMPARE(QString::fromStdString(FormatSingleGeneral(value)), QString(text));
            QCOMPARE(QString::fromStdString(FormatPlainNumber(value)), text[0] == '-' ? text : " " + QString(text));
        }
        for (const auto& [value, decimals, rounded] : kRoundings)
            QCOMPARE(Exact(RoundToDecimals(value, decimals)), Exact(rounded));
        for (const auto& [text, value] : kPlain)
            QCOMPARE(Exact(ReadPlainNumber(text)), Exact(value));
        const QString zeros(999'999, '0');
        QCOMPARE(ReadPlainNumber(("1" + zeros + "E-999999").toStdString()), 1.0);
        QCOMPARE(ReadPlainNumber(("0." + zeros + "25E999999").toStdString()), 0.25);
    }
};

QTEST_APPLESS_MAIN(tst_NumberText)
#include "tst_NumberText.moc"
