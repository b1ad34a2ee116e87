#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "support/ScriptedServices.h"
#include "support/WindowTestFiles.h"
#include "windows/frmShowSubcircuit.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace valvix;
using namespace valvix::test;

namespace {

std::string FileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

} // namespace

class tst_frmShowSubcircuit final : public QObject {
    Q_OBJECT

    DesignState design;
    ScriptedServices services;
    WindowTestFiles files;
    std::unique_ptr<frmShowSubcircuit> window;

    QLabel* label(int n) { return window->findChild<QLabel*>(QString("Label%1").arg(n)); }
    QLineEdit* name() { return window->findChild<QLineEdit*>("txtTubeName"); }
    void press(const char* button) {
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
    }

private slots:
    void init() {
        design = SampleDesign();
        services = ScriptedServices{};
        window = std::make_unique<frmShowSubcircuit>(design, services);
        window->show();
    }
    void cleanup() { window.reset(); }

    void opensWithTheSubcircuitOfTheModel() {
        QCOMPARE(window->windowTitle(), QString("Valvix - Subcircuit / schematic"));
        QCOMPARE(window->size(), QSize(611, 348));
        QCOMPARE(name()->text(), QString("TubeName"));
        const auto lines = SubcircuitLines(design, "TubeName");
        for (int n = 1; n <= 14; ++n) {
            QCOMPARE(label(n)->text().toStdString(), lines[static_cast<std::size_t>(n - 1)]);
        }
        QCOMPARE(label(2)->width(), 600);
        QCOMPARE(design.MuText, std::string("100"));
    }

    void typingUpdatesLineOneAtOnce() {
        name()->clear();
        QTest::keyClicks(name(), "12AX7");
        QCOMPARE(label(1)->text(), QString(".SUBCKT  12AX7  1 2 3    ;P G K "));
        QCOMPARE(design.TubeName, std::string("12AX7"));
    }

    void writeFiles_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("subcircuit") << "cmdWrite"
                                    << "Write CKT file"
                                    << "CKT files (*.CKT)|*.CKT"
                                    << "Default.CKT";
        QTest::newRow("schematic") << "cmdPlotter"
                                   << "Write .ASC file"
                                   << "ASC files (*.ASC)|*.ASC"
                                   << "12AX7.ASC";
    }
    void writeFiles() {
        QFETCH(QString, button);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        QFETCH(QString, proposed);
        name()->setText("12AX7");
        const std::string target = files.path("out.txt");
        services.fileAnswers = {target};
        press(qPrintable(button));
        QCOMPARE(services.dialogs.at(0).title, title.toStdString());
        QCOMPARE(services.dialogs.at(0).filter, filter.toStdString());
        QCOMPARE(services.dialogs.at(0).proposedName, proposed.toStdString());
        const bool circuit = button == "cmdWrite";
        QCOMPARE(FileBytes(target),
                 circuit ? SubcircuitText(design, "12AX7") : SchematicText(design, "12AX7"));
        QCOMPARE(circuit ? design.CircuitFileName : design.SchematicFileName, target);
    }

    void cancelledDialogWritesNothing() {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(files.path("")));
        press("cmdWrite");
        press("cmdPlotter");
        QVERIFY(!QFile::exists("Default.CKT"));
        QVERIFY(!QFile::exists("TubeName.ASC"));
        QDir::setCurrent(previous);
        QCOMPARE(services.messages.size(), std::size_t(0));
    }

    void folderThatDoesNotExist_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("subcircuit") << "cmdWrite"
                                    << "The .CKT (circuit file) was not written";
        QTest::newRow("schematic") << "cmdPlotter"
                                   << "The .ASC (schematic file) was not written";
    }
    void folderThatDoesNotExist() {
        QFETCH(QString, button);
        QFETCH(QString, message);
        const std::string target = files.path("missing/out.CKT");
        services.fileAnswers = {target};
        press(qPrintable(button));
        QCOMPARE(services.beeps, 1);
        QCOMPARE(services.messages, std::vector<std::string>{message.toStdString()});
        QVERIFY(!QFile::exists(QString::fromStdString(target)));
        QVERIFY(window->isVisible());
    }

    void returnKeepsTheNameButTheNextOpeningStartsAfresh() {
        name()->setText("6SN7");
        press("cmdExit");
        QVERIFY(!window->isVisible());
        QCOMPARE(design.TubeName, std::string("6SN7"));
        window = std::make_unique<frmShowSubcircuit>(design, services);
        QCOMPARE(name()->text(), QString("TubeName"));
        QCOMPARE(design.TubeName, std::string("TubeName"));
    }
};

QTEST_MAIN(tst_frmShowSubcircuit)
#include "tst_frmShowSubcircuit.moc"
