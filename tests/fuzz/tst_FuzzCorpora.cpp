// Replays every kept fuzz input under corpus/<target>/ through its target, so that the
// seeds and every failing input ever found are checked by the ordinary test run too.

#include "FuzzTargets.h"

#include <QtTest>

#include <map>

using namespace valvix::fuzz;

class tst_FuzzCorpora final : public QObject {
    Q_OBJECT
private slots:
    void replay() {
        const std::map<QString, int (*)(const std::uint8_t*, std::size_t)> targets{
            {"number_text", &NumberText}, {"number_format", &NumberFormat}, {"design_file", &DesignFile},
            {"points_file", &PointsFile}, {"sweep_table", &SweepTable},     {"digitizer", &Digitizer},
            {"label_text", &LabelText},   {"plot_box", &PlotBox},           {"chart_reading", &ChartReading}};
        const QDir corpora(VALVIX_FUZZ_CORPUS_DIR);
        QCOMPARE(corpora.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), qsizetype(targets.size()));
        for (const auto& [name, target] : targets) {
            const QDir seeds(corpora.filePath(name));
            QVERIFY2(!seeds.isEmpty(), qPrintable(name));
            for (const QString& seed : seeds.entryList(QDir::Files)) {
                QFile file(seeds.filePath(seed));
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QByteArray bytes = file.readAll();
                try {
                    target(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
                } catch (const PropertyBroken& broken) {
                    QFAIL(qPrintable(name + "/" + seed + ": " + broken.what()));
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(tst_FuzzCorpora)
#include "tst_FuzzCorpora.moc"
