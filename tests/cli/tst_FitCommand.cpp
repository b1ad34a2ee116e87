// valvix-cli fit, run through the command line's own entry.

#include "cli/Commands.h"
#include "state/DesignFile.h"
#include "support/PointsCsv.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sstream>

using namespace valvix;

namespace {

const QString kDesign = VALVIX_EXAMPLES_DIR "/example-6SN7.VXF";
const QString kPicture = VALVIX_EXAMPLES_DIR "/example-6SN7.jpg";

} // namespace

class tst_FitCommand final : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::string out;
    std::string err;

    // fit --design DESIGN [--picture PICTURE] [--points POINTS] --out OUT
    int fit(const QStringList& files) {
        cli::Arguments arguments{"fit"};
        const char* options[] = {"--design", "--picture", "--points", "--out"};
        for (int i = 0; i < 4; ++i) {
            if (i % 3 == 0 || !files[i].isEmpty()) {
                arguments.insert(arguments.end(), {options[i], files[i].toStdString()});
            }
        }
        std::ostringstream streams[2];
        const int status = cli::RunCommandLine(arguments, streams[0], streams[1]);
        std::tie(out, err) = std::pair(streams[0].str(), streams[1].str());
        return status;
    }

private slots:
    void fitsThePictureOrThePoints() {
        const QString points = dir.filePath("points.csv");
        test::WritePointsCsv(points.toStdString(), {20, 1.3f, 1300, 250, 600}, 500, 0, -20, 2);
        for (const bool picture : {true, false}) {
            QCOMPARE(fit({kDesign, picture ? kPicture : "", picture ? "" : points, dir.filePath("o.VXF")}), 0);
            QVERIFY(out.starts_with("Mu: ") && out.find("\nFitted to ") != out.npos && err.empty());
            DesignState fitted;
            QVERIFY(ReadDesignFile(dir.filePath("o.VXF").toStdString(), fitted).ok);
            QVERIFY(std::abs(fitted.Mu / 20 - 1) < 0.001 && std::abs(fitted.Kp / 250 - 1) < 0.002);
        }
    }

    void refuses_data() {
        QTest::addColumn<QStringList>("files"); // design, picture, points, out
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // how it begins
        const QString to = dir.filePath("out.VXF");
        QTest::newRow("no out") << QStringList{kDesign, kPicture, "", ""} << 2
                                << "fit: --design and --out must name files.";
        QTest::newRow("nothing to fit to")
            << QStringList{kDesign, "", "", to} << 2 << "fit: give --picture, --points or both";
        QTest::newRow("no design") << QStringList{to, kPicture, "", to} << 1
                                   << "fit: The chosen file (" + to + ") was not read";
        QTest::newRow("refused design") << QStringList{kPicture, kPicture, "", to} << 1
                                        << "fit: " + kPicture + ": The value of the exponent";
        QTest::newRow("not a picture") << QStringList{kDesign, kDesign, "", to} << 1
                                       << "fit: The chart picture (" + kDesign + ") could not be read.";
        QTest::newRow("bad points") << QStringList{kDesign, "", kDesign, to} << 1 << "fit: Line 1 of the points file:";
        QTest::newRow("unwritable") << QStringList{kDesign, kPicture, "", to + "/x"} << 1
                                    << "fit: The Valvix file was not written";
    }
    void refuses() {
        QFETCH(QStringList, files);
        QFETCH(int, status);
        QFETCH(QString, message);
        QCOMPARE(fit(files), status);
        QVERIFY2(err.starts_with(message.toStdString()), err.c_str());
        QVERIFY(out.empty() && !QFile::exists(dir.filePath("out.VXF")));
    }
};

QTEST_MAIN(tst_FitCommand)
#include "tst_FitCommand.moc"
