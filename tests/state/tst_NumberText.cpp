#include "state/NumberText.h"

#include <QtTest>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

using namespace valvix;

namespace {

// Exact text of a double, so that comparisons do not go through QCOMPARE's fuzziness.
QString Exact(double value) {
    return QString::number(value, 'g', 17);
}

// A C++ locale that writes a comma as the decimal point and groups thousands.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

} // namespace

class tst_NumberText final : public QObject {
    Q_OBJECT
private slots:
    void formatSingleGeneral_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("negative zero") << -0.0f << "0";
        QTest::newRow("shortest, not 7 digits") << 0.1f << "0.1";
        QTest::newRow("negative integer") << -10.0f << "-10";
        QTest::newRow("7 digits needed") << 1.0f / 3.0f << "0.3333333";
        QTest::newRow("largest plain") << 9999999.0f << "9999999";
        QTest::newRow("ten million") << 1e7f << "1E+07";
        QTest::newRow("needs more than 7 digits") << 123456789.0f << "1.234568E+08";
        QTest::newRow("smallest plain") << -0.00012345f << "-0.00012345";
        QTest::newRow("below 0.0001") << 0.00001f << "1E-05";
        QTest::newRow("largest Single") << std::numeric_limits<float>::max() << "3.402823E+38";
        QTest::newRow("smallest Single") << std::numeric_limits<float>::denorm_min() << "1E-45";
        QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << "NaN";
        QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << "Inf";
        QTest::newRow("minus infinity") << -std::numeric_limits<float>::infinity() << "-Inf";
    }
    void formatSingleGeneral() {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatSingleGeneral(value)), text);
        // The plain form is the same text with a blank where a minus sign would go.
        const QString plain = text.startsWith('-') ? text : " " + text;
        QCOMPARE(QString::fromStdString(FormatPlainNumber(value)), plain);
    }

    void readPlainNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        const double infinity = std::numeric_limits<double>::infinity();
        const QString zeros(999'999, '0');
        QTest::newRow("blank inside digits") << "1 00" << 100.0;
        QTest::newRow("tab, CR and LF are blanks") << "\t3\r\n4" << 34.0;
        QTest::newRow("blanks around sign") << " - 5" << -5.0;
        QTest::newRow("second sign ends") << "--5" << 0.0;
        QTest::newRow("suffix ends the number") << "1.5k" << 1.5;
        QTest::newRow("letters only") << "abc" << 0.0;
        QTest::newRow("no integer digits") << ".5" << 0.5;
        QTest::newRow("second point ends") << "1.2.3" << 1.2;
        QTest::newRow("leading zeros") << "000.000125" << 0.000125;
        QTest::newRow("correctly rounded") << "0.1" << 0.1;
        QTest::newRow("exponent") << "1.06E3" << 1060.0;
        QTest::newRow("lower-case D exponent, sign") << "2.5d-3" << 0.0025;
        QTest::newRow("blanks in exponent") << "1E + 2" << 100.0;
        QTest::newRow("exponent without digits") << "7E" << 7.0;
        QTest::newRow("exponent letter first") << "E5" << 0.0;
        QTest::newRow("beyond double") << "1e400" << infinity;
        QTest::newRow("below double") << "1e-400" << 0.0;
        QTest::newRow("huge exponent saturates") << "-1e99999999999999999999" << -infinity;
        QTest::newRow("more digits than kept")
            << "123456789012345678901234567890123456789012345e-30"
            << 123456789012345.678901234567890123456789012345;
        QTest::newRow("million integer digits") << "1" + zeros + "E-999999" << 1.0;
        QTest::newRow("million fraction digits") << "0." + zeros + "25E999999" << 0.25;
    }
    void readPlainNumber() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(Exact(ReadPlainNumber(text.toStdString())), Exact(value));
    }

    // The texts are stored in files and entry fields: a comma locale must not change them.
    void periodWhateverTheLocale() {
        const std::locale previousGlobal =
            std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
        const std::string previousC = std::setlocale(LC_ALL, nullptr);
        for (const char* name :
             {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                break;
            }
        }
        const std::string general = FormatSingleGeneral(1234.5f);
        const std::string plain = FormatPlainNumber(-1.5e-5f);
        const double read = ReadPlainNumber("2.5");
        std::setlocale(LC_ALL, previousC.c_str());
        std::locale::global(previousGlobal);
        QCOMPARE(QString::fromStdString(general), "1234.5");
        QCOMPARE(QString::fromStdString(plain), "-1.5E-05");
        QCOMPARE(read, 2.5);
    }
};

QTEST_APPLESS_MAIN(tst_NumberText)
#include "tst_NumberText.moc"
