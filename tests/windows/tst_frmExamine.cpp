#include "platform/CanvasView.h"
#include "platform/PrintJob.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedServices.h"
#include "support/WindowTestFiles.h"
#include "windows/frmExamine.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;

namespace {

// The first-opening example: 300 V and 10 mA full scale, grid 0 to -10 V in 1 V steps,
// a frame 6000 wide and 4500 high.
DesignState ExamineDesign() {
    DesignState d = SampleDesign();
    d.Xleft = 600;
    d.Xright = 6600;
    d.Ytop = 300;
    d.Ybottom = 4800;
    d.PlateCurrentFullscale = 0.01f;
    d.GridVoltageStep = 1;
    return d;
}

} // namespace

class tst_frmExamine final : public QObject {
    Q_OBJECT

    DesignState design;
    ScriptedServices services;
    WindowTestFiles files;
    std::unique_ptr<frmExamine> window;
    RecordingSurface drawn;
    std::string dissipation;

    void open() {
        window = std::make_unique<frmExamine>(design, services, [this] { return dissipation; });
        window->show();
        (void)QTest::qWaitForWindowActive(window.get());
        // The opening drew the chart already; a refresh draws it again where we can see it.
        window->view().canvas().setTap(&drawn);
        press("cmdPreview");
    }
    QLineEdit* box(const char* name) { return window->findChild<QLineEdit*>(name); }
    QLabel* label(const char* name) { return window->findChild<QLabel*>(name); }
    void press(const char* name) { window->findChild<QAbstractButton*>(name)->click(); }
    void type(const char* name, const QString& text) {
        box(name)->selectAll();
        QTest::keyClicks(box(name), text);
    }
    std::size_t count(Kind kind) const { return drawn.ofKind(kind).size(); }

private slots:
    void init() {
        design = ExamineDesign();
        services = ScriptedServices{};
        drawn = RecordingSurface{};
        dissipation.clear();
        open();
    }
    void cleanup() { window.reset(); }

    void firstOpening() {
        const std::vector<std::pair<const char*, QString>> expected{
            {"Text1", "300 "}, {"Text2", "60 "},  {"Text3", "0.01 "}, {"Text4", "0.002 "},
            {"Text6", "0  "},  {"Text7", "-10 "}, {"Text8", "1 "},    {"Text5", ""}};
        for (const auto& [name, text] : expected) {
            QCOMPARE(box(name)->text(), text);
        }
        QCOMPARE(window->windowTitle(), QString("Examine - "));
        QCOMPARE(design.ExamineSettingsKept, 1);
        QCOMPARE(design.LabelGridVoltages, 1);
        QVERIFY(window->findChild<QRadioButton*>("optGridVoltageYes")->isChecked());
        QCOMPARE(count(Kind::Line), std::size_t(12)); // 6 vertical and 6 horizontal
        bool thick = false;
        for (const auto& dot : drawn.ofKind(Kind::Dot)) {
            thick = thick || dot.pen == 3;
            QVERIFY(dot.a.x > 3600 && dot.a.x < 9600);
        }
        QVERIFY(thick);
        QCOMPARE(label("Label9")->text(), QString("Delta V:"));
    }

    void minimumStepIsWrittenBack() {
        type("Text2", "1");
        press("cmdPreview");
        QCOMPARE(box("Text2")->text(), QString("15 "));
        QCOMPARE(design.ExamineVoltsStep, 15.0f);
    }

    void labelsFollowTheOption() {
        const std::size_t withLabels = count(Kind::FilledRectangle);
        QVERIFY(withLabels > 0);
        drawn.items.clear();
        press("optGridVoltageNo");
        QCOMPARE(design.LabelGridVoltages, 0);
        QCOMPARE(count(Kind::FilledRectangle), std::size_t(0));
        press("optGridVoltageYes");
        QVERIFY(count(Kind::FilledRectangle) > 0);
        press("optGridVoltageNo");
        window.reset();
        open();
        QCOMPARE(design.LabelGridVoltages, 1);
        QVERIFY(window->findChild<QRadioButton*>("optGridVoltageYes")->isChecked());
    }

    void secondOpeningKeepsTheSettings() {
        type("Text1", "250");
        press("cmdExit");
        QCOMPARE(design.ExamineVoltsFullscale, 250.0f);
        design.PlateVoltageFullscale = 500;
        window.reset();
        open();
        QCOMPARE(box("Text1")->text(), QString("250 "));
    }

    void readouts() {
        emit window->view().mousePressed(1, 6600, 2550);
        QCOMPARE(label("Label9")->text(), QString());
        QCOMPARE(label("Label12")->text(), QString());
        emit window->view().mousePressed(2, 7000, 2550);
        QCOMPARE(label("Label9")->text(), QString("Delta V: 20 "));
        QCOMPARE(label("Label11")->text(), QString("mu: 20 "));
        emit window->view().mousePressed(4, 100, 100);
        QCOMPARE(label("Label9")->text(), QString("Delta V: 20 "));
    }

    void printChecks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("volts step 0.5")
            << "Text2"
            << "0.5"
            << "The value for the grid spacing on the printed plot must be greater than 1.";
        QTest::newRow("amps step 0.0005")
            << "Text4"
            << "0.0005"
            << "The value for the grid spacing on the printed plot must be greater than 1 mA.";
        QTest::newRow("grid step 0.005")
            << "Text8"
            << "0.005"
            << "The value for grid voltage stepsize must be >.01 and < 1000";
    }
    void printChecks() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, message);
        type(qPrintable(name), text);
        press("cmdPrint");
        QCOMPARE(services.messages, std::vector<std::string>{message.toStdString()});
        QVERIFY(box(qPrintable(name))->hasFocus());
        QCOMPARE(services.printerDialogs, 0);
    }

    void cancellingThePrinterPrintsNothing() {
        press("cmdPrint");
        QCOMPARE(services.printerDialogs, 1);
        QCOMPARE(services.messages.size(), std::size_t(0));
    }

    void printsThePage() {
        // The job lives only as long as the print command: look at the page as it finishes.
        auto printed = std::make_shared<QImage>();
        services.printer = [printed] {
            return std::make_unique<ImageJob>([printed](const QImage& image) { *printed = image; });
        };
        dissipation = std::string(1, '1'); // "1", without a GCC 12 -Wrestrict false alarm
        press("cmdPrint");
        const QImage& page = *printed;
        QVERIFY(!page.isNull());
        int inked = 0;
        for (int y = 0; y < page.height(); y += 2) {
            for (int x = 0; x < page.width(); x += 2) {
                inked += page.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
            }
        }
        QVERIFY(inked > 1000);
        QCOMPARE(design.Dissipation, 1.0f);
    }

    void printsToAPdfFile() {
        const QString path = QString::fromStdString(files.path("chart.pdf"));
        services.printer = [path] { return std::make_unique<PdfJob>(path); };
        press("cmdPrint");
        QVERIFY(QFileInfo(path).size() > 1000);
    }
};

QTEST_MAIN(tst_frmExamine)
#include "tst_frmExamine.moc"
