// Replays every kept fuzz input under corpus/<target>/ through its target, so that the
// seeds and every crash case ever found are checked by the ordinary test run too.

#include "FuzzTargets.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <cstdint>
#include <map>

using namespace valvix;

namespace {

using Target = int (*)(const std::uint8_t*, std::size_t);

const std::map<QString, Target>& Targets() {
    static const std::map<QString, Target> targets{
        {"engineering_parse", &fuzz::EngineeringParse},
        {"plain_number", &fuzz::PlainNumber},
        {"design_text", &fuzz::DesignText},
        {"design_round_trip", &fuzz::DesignRoundTrip},
        {"number_format", &fuzz::NumberFormat},
        {"engineering_format", &fuzz::EngineeringFormat},
        {"sweep_table", &fuzz::SweepTable},
    };
    return targets;
}

QDir CorpusDir() {
    return QDir(QStringLiteral(VALVIX_FUZZ_CORPUS_DIR));
}

} // namespace

class tst_FuzzCorpora final : public QObject {
    Q_OBJECT
private slots:
    // A corpus folder without a target would never be replayed; a target without
    // seeds would start fuzzing from nothing.
    void corpusFoldersMatchTargets() {
        QStringList folders = CorpusDir().entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QStringList targets;
        for (const auto& entry : Targets()) {
            targets << entry.first;
            QVERIFY2(!QDir(CorpusDir().filePath(entry.first)).isEmpty(),
                     qPrintable("no seed inputs for " + entry.first));
        }
        folders.sort();
        targets.sort();
        QCOMPARE(folders, targets);
    }

    void replay_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        for (const auto& entry : Targets()) {
            const QDir dir(CorpusDir().filePath(entry.first));
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
                const QString row = entry.first + "/" + name;
                QTest::newRow(qPrintable(row)) << entry.first << dir.filePath(name);
            }
        }
    }
    void replay() {
        QFETCH(QString, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        const QByteArray bytes = file.readAll();
        try {
            const int result =
                Targets().at(target)(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size()));
            QCOMPARE(result, 0);
        } catch (const fuzz::PropertyBroken& broken) {
            QFAIL(broken.what());
        }
    }
};

QTEST_APPLESS_MAIN(tst_FuzzCorpora)
#include "tst_FuzzCorpora.moc"
