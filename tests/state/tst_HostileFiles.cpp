// Design files and paths that no Valvix ever wrote. Each read either succeeds with the
// values a reader by position finds, or fails with the read-failure message, without
// hanging and without touching fields it did not get to.

#include "state/DesignFile.h"
#include "support/DesignFileChecks.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

#include <unistd.h>

using namespace valvix;
using namespace valvix::checks;

class tst_HostileFiles final : public QObject {
    Q_OBJECT
private slots:
    void readsOddContents_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<Values>("expected");
        QList<QByteArray> all = NumberedLines();

        QByteArray padded;
        const QByteArray comment = "*" + QByteArray(1000, 'x') + "\r\n";
        for (const QByteArray& line : all) {
            padded += comment.repeated(200) + line + "\r\n";
        }
        QTest::newRow("3 MB of comment lines between the values") << padded << kNumbered;
        QTest::newRow("million-character line without a line end")
            << Join(all.mid(0, 3)) + QByteArray(1'000'000, '\xa0') << Expect({1, 0});
        QTest::newRow("CR-only line ends") << Join(all, "\r") << kNumbered;
        QTest::newRow("LF-only line ends, none after the last") << all.join("\n") << kNumbered;

        all[0] = QByteArray("Filename: /\xe9\0\xff", 14);
        all[2] = QByteArray("Xleft: 4\0 65", 12);
        all[4] = "Ytop: \xb5 12";
        Values binary = NumberedWith(0, 4);
        binary[2] = 0;
        QTest::newRow("NUL and high bytes") << Join(all) << binary;
    }
    void readsOddContents() {
        QFETCH(QByteArray, contents);
        QFETCH(Values, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("odd.VXF");
        QVERIFY(WriteFile(path, contents));
        DesignState design = Sentinel();
        const FileResult result = ReadDesignFile(path.toStdString(), design);
        QVERIFY(result.ok);
        QCOMPARE(result.message, std::string());
        QCOMPARE(QMismatches(design, expected), QString());
    }

    // Paths that name no readable regular file: every one fails with the message and
    // changes nothing; none of them hangs.
    void refusesHostilePaths_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("no read permission") << "unreadable";
        QTest::newRow("file removed before the read") << "removed";
        QTest::newRow("NUL inside the path") << "nul";
        QTest::newRow("endless device") << "/dev/zero";
        // A regular file whose first bytes (the memory at address 0) cannot be read.
        QTest::newRow("file that opens but cannot be read") << "/proc/self/mem";
    }
    void refusesHostilePaths() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString file = dir.filePath("design.VXF");
        QVERIFY(WriteFile(file, NumberedText()));
        std::string path = file.toStdString();
        if (kind.startsWith('/')) {
            if (!QFileInfo::exists(kind)) {
                QSKIP("no such file here");
            }
            path = kind.toStdString();
        } else if (kind == "folder") {
            QVERIFY(QFile::remove(file));
            QVERIFY(QDir(dir.path()).mkdir("design.VXF"));
        } else if (kind == "unreadable") {
            if (::geteuid() == 0) {
                QSKIP("running as root, which reads a file whatever its permissions");
            }
            QVERIFY(QFile::setPermissions(file, {}));
        } else if (kind == "removed") {
            QVERIFY(QFile::remove(file));
        } else if (kind == "nul") {
            path += std::string(1, '\0') + "x"; // the part before the NUL is a good file
        }
        DesignState design = Sentinel();
        const FileResult result = ReadDesignFile(path, design);
        QVERIFY(!result.ok);
        QCOMPARE(result.message, "The chosen file (" + path + ") was not read correctly.");
        QCOMPARE(QMismatches(design, Expect({})), QString());
    }
};

QTEST_APPLESS_MAIN(tst_HostileFiles)
#include "tst_HostileFiles.moc"
