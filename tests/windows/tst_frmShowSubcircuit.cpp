#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "support/WindowDriver.h"
#include "windows/frmShowSubcircuit.h"

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;

// The Subcircuit window: its lines, the tube name, writing both files.
class tst_frmShowSubcircuit final : public QObject, WindowDriver {
    Q_OBJECT
    QLabel* label(int n) { return window->findChild<QLabel*>(QString("Label%1").arg(n)); }
    QLineEdit* tube() { return box("txtTubeName"); }

private slots:
    void init() { reset(); }
    void cleanup() { window.reset(); }

    void subcircuitShowsTheSubcircuit() {
        open<frmShowSubcircuit>();
        QVERIFY(window->windowTitle() == "Valvix - Subcircuit / schematic" && window->size() == QSize(611, 348));
        QCOMPARE(tube()->text().toStdString() + subcircuitNames.TubeName, "TubeNameTubeName");
        QVERIFY(label(2)->geometry() == QRect(24, 40, 600, 17) && label(14)->geometry() == QRect(24, 232, 481, 17));
        design.Kg1 = design.Kp = design.Kvb = 1.234567e7f;
        tube()->clear();
        QTest::keyClicks(tube(), "<b>12AX7</b>");
        for (const std::string name : {"<b>12AX7</b>", "a much longer tube name"}) {
            tube()->setText(QString::fromStdString(name)); // the same name first: no change
            const auto lines = SubcircuitLines(design, name);
            for (int n = 1; n <= 14; ++n) {
                QCOMPARE(label(n)->text().toStdString(), lines[std::size_t(n - 1)]);
                QCOMPARE(label(n)->textFormat(), Qt::PlainText);
                const int room = std::min(label(n)->width(), window->width() - label(n)->x());
                QVERIFY2(label(n)->fontMetrics().horizontalAdvance(label(n)->text()) <= room,
                         qPrintable(label(n)->text()));
            }
        }
        press("cmdExit");
        QVERIFY(!window->isVisible() && subcircuitNames.TubeName == "a much longer tube name");
        open<frmShowSubcircuit>();
        QVERIFY(tube()->text() == "TubeName" && subcircuitNames.TubeName == "TubeName");
    }

    // Both write buttons: the save dialog with its proposed name, the file, the message
    // when it cannot be written; nothing when the dialog is cancelled.
    void subcircuitWrites() {
        open<frmShowSubcircuit>();
        tube()->setText("12AX7");
        const QString folder = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(services->path("")));
        // clang-format off
        for (const auto& [button, dialog, failure] : {
                 std::tuple{"cmdWrite", "Write CKT file|CKT files (*.CKT)|*.CKT|Default.CKT", "The .CKT (circuit file) was not written"},
                 {"cmdPlotter", "Write .ASC file|ASC files (*.ASC)|*.ASC|12AX7.ASC", "The .ASC (schematic file) was not written"}}) {
            // clang-format on
            const bool circuit = button == std::string("cmdWrite");
            services->fileAnswers = {services->path("out"), std::nullopt, services->path("none/out")};
            press(button);
            QCOMPARE(services->lastDialog(), dialog);
            const std::string written =
                circuit ? SubcircuitText(design, "12AX7") : SchematicText(design, examine, "12AX7");
            QFile out(QString::fromStdString(services->path("out")));
            QVERIFY(out.open(QIODevice::ReadOnly) && out.readAll().toStdString() == written);
            QCOMPARE(circuit ? subcircuitNames.CircuitFileName : subcircuitNames.SchematicFileName,
                     services->path("out"));
            press(button);
            QVERIFY(!QFile::exists("Default.CKT") && !QFile::exists("12AX7.ASC") &&
                    services->messages.size() == std::size_t(!circuit));
            press(button);
            QVERIFY(services->beeps == 2 - circuit && services->messages.size() == std::size_t(services->beeps) &&
                    services->messages.back() == failure && window->isVisible());
        }
        QDir::setCurrent(folder);
    }
};

QTEST_MAIN(tst_frmShowSubcircuit)
#include "tst_frmShowSubcircuit.moc"
