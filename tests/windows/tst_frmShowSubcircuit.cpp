#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "support/SampleDesign.h"
#include "support/ScriptedServices.h"
#include "windows/frmShowSubcircuit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace valvix;
using namespace valvix::test;

class tst_frmShowSubcircuit final : public QObject {
    Q_OBJECT
    DesignState design;
    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<frmShowSubcircuit> window;

    QLabel* label(int n) { return window->findChild<QLabel*>(QString("Label%1").arg(n)); }
    QLineEdit* name() { return window->findChild<QLineEdit*>("txtTubeName"); }
    void press(const char* button) {
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    std::string file(const std::string& path) {
        QFile f(QString::fromStdString(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<none>";
    }
    void open() {
        window = std::make_unique<frmShowSubcircuit>(design, *services);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

private slots:
    void init() {
        design = SampleDesign();
        services = std::make_unique<ScriptedServices>();
        open();
    }
    void cleanup() { window.reset(); }

    // Each label shows a line of the subcircuit, plain text, whole at the window's size.
    void showsTheSubcircuit() {
        QVERIFY(window->windowTitle() == "Valvix - Subcircuit / schematic" &&
                window->size() == QSize(611, 348));
        QCOMPARE(name()->text(), "TubeName");
        QCOMPARE(design.MuText + design.TubeName, "100TubeName");
        QVERIFY(label(2)->geometry() == QRect(24, 40, 600, 17) &&
                label(14)->geometry() == QRect(24, 232, 481, 17));
        design.Kg1 = design.Kp = design.Kvb = 1.234567e7f;
        name()->clear();
        QTest::keyClicks(name(), "<b>12AX7</b>");
        for (const std::string tube : {"<b>12AX7</b>", "a much longer tube name"}) {
            name()->setText(QString::fromStdString(tube)); // the same name first: no change
            const auto lines = SubcircuitLines(design, tube);
            for (int n = 1; n <= 14; ++n) {
                QCOMPARE(label(n)->text().toStdString(), lines[std::size_t(n - 1)]);
                QCOMPARE(label(n)->textFormat(), Qt::PlainText);
                const int room = std::min(label(n)->width(), window->width() - label(n)->x());
                QVERIFY2(label(n)->fontMetrics().horizontalAdvance(label(n)->text()) <= room,
                         qPrintable(label(n)->text()));
            }
        }
        QCOMPARE(design.TubeName, "a much longer tube name");
    }

    // Both write buttons: the save dialog with its proposed name, the file, the message
    // when it cannot be written; nothing when the dialog is cancelled.
    void writes() {
        name()->setText("12AX7");
        const QString folder = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(services->path("")));
        for (const auto& [button, dialog, failure] :
             {std::tuple{"cmdWrite", "Write CKT file|CKT files (*.CKT)|*.CKT|Default.CKT",
                         "The .CKT (circuit file) was not written"},
              {"cmdPlotter", "Write .ASC file|ASC files (*.ASC)|*.ASC|12AX7.ASC",
               "The .ASC (schematic file) was not written"}}) {
            const bool circuit = button == std::string("cmdWrite");
            services->fileAnswers = {services->path("out"), std::nullopt,
                                     services->path("none/out")};
            press(button);
            const FileDialogRequest& asked = services->dialogs.back();
            QCOMPARE(asked.title + "|" + asked.filter + "|" + asked.proposedName, dialog);
            QCOMPARE(file(services->path("out")),
                     circuit ? SubcircuitText(design, "12AX7") : SchematicText(design, "12AX7"));
            QCOMPARE(circuit ? design.CircuitFileName : design.SchematicFileName,
                     services->path("out"));
            press(button);
            QVERIFY(!QFile::exists("Default.CKT") && !QFile::exists("12AX7.ASC") &&
                    services->messages.empty());
            press(button);
            QVERIFY(services->beeps == 1 &&
                    services->messages == std::vector<std::string>{failure} && window->isVisible());
            services->messages.clear();
            services->beeps = 0;
        }
        QDir::setCurrent(folder);
    }

    void returnsKeepingTheName() {
        name()->setText("6SN7");
        press("cmdExit");
        QVERIFY(!window->isVisible() && design.TubeName == "6SN7");
        open();
        QVERIFY(name()->text() == "TubeName" && design.TubeName == "TubeName");
    }
};

QTEST_MAIN(tst_frmShowSubcircuit)
#include "tst_frmShowSubcircuit.moc"
