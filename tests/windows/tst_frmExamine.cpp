#include "support/WindowDriver.h"
#include "windows/frmExamine.h"

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;

// The Examine window: its settings, the readouts from presses on the chart, printing.
class tst_frmExamine final : public QObject, WindowDriver {
    Q_OBJECT
    std::string dissipation;
    QImage page;

    void openExamine() {
        open<frmExamine>([this] { return dissipation; });
    }

private slots:
    void init() {
        reset();
        dissipation.clear();
    }
    void cleanup() { window.reset(); }

    // The first opening fills the boxes from the design, each value read back from its
    // box; the chart is drawn with labels; "Return" has the focus, Tab goes on in order.
    void examineOpens() {
        openExamine();
        // clang-format off
        CheckLayout(*view, {
            {"Label1", "Plot X-axis voltage fullscale: ", 1555, 5200, 4260, 360}, {"Text1", "250 ", 5800, 5200, 1455, 0},
            {"Label2", "Plot  X-axis voltage stepsize: ", 1555, 5600, 4260, 360}, {"Text2", "50 ", 5800, 5600, 1455, 0},
            {"Label3", "Plot Y-axis amps fullscale: ", 1555, 6000, 4260, 360}, {"Text3", "0.005 ", 5800, 6000, 1455, 0},
            {"Label4", "Plot Y-axis amps stepsize: ", 1555, 6400, 4260, 360}, {"Text4", "0.001 ", 5800, 6400, 1455, 0},
            {"Label6", "Plot grid voltage most positive: ", 1555, 6800, 4260, 360}, {"Text6", "0  ", 5800, 6800, 1455, 0},
            {"Label7", "Plot grid voltage most negative: ", 1555, 7200, 4260, 360}, {"Text7", "-10 ", 5800, 7200, 1455, 0},
            {"Label8", "Plot grid voltage stepsize: ", 1555, 7600, 4260, 360}, {"Text8", "1 ", 5800, 7600, 1455, 0},
            {"Label5", "Title: ", 1555, 8000, 4260, 360}, {"Text5", "", 5800, 8000, 1455, 0},
            {"cmdPreview", "Plot/refresh", 8120, 5200, 1980, 390}, {"cmdExit", "Return", 8120, 5700, 1980, 390},
            {"cmdPrint", "Print", 8120, 6200, 1980, 390}, {"Frame2", "Label grid voltages?", 8120, 6700, 2400, 1290},
            {"optGridVoltageYes", "Yes", 8240, 6970, 1800, 315}, {"optGridVoltageNo", "No", 8240, 7330, 1800, 315},
            {"Label9", "Delta V:", 120, 1320, 2175, 255}, {"Label10", "Delta I:", 120, 1680, 2175, 255},
            {"Label11", "mu:", 120, 2040, 2175, 255}, {"Label12", "Gm:", 120, 2400, 2175, 255}});
        // clang-format on
        QVERIFY(window->windowTitle() == "Examine - " && window->findChild<QWidget*>("cmdExit")->hasFocus());
        QVERIFY(examine.ExamineSettingsKept == 1 && examine.LabelGridVoltages == 1 &&
                examine.ExamineAmpsStep == 0.001f);
        QVERIFY(window->findChild<QRadioButton*>("optGridVoltageYes")->isChecked());
        QStringList order;
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order.join(' '), "Text6 Text7 Text8 Text1 Text2 Text3 Text4 Text5 cmdPreview cmdPrint");
        QCOMPARE(view->canvas().image().pixel(240, 160), qRgb(0, 0, 0)); // the frame
        QCOMPARE(view->canvas().image().pixel(640, 160), qRgb(0, 0, 0));
    }

    void examineStepsOptionsAndSettings() {
        openExamine();
        type("Text2", "1");
        type("Text4", "0");
        press("cmdPreview");
        QVERIFY(box("Text2")->text() == "12.5 " && box("Text4")->text() == "0.0005 " &&
                examine.ExamineVoltsStep == 12.5f);
        drawn.items.clear();
        press("optGridVoltageNo");
        QVERIFY(examine.LabelGridVoltages == 0 && drawn.of(Kind::FilledRectangle).empty() && drawn.items.size() > 1000);
        press("optGridVoltageYes");
        QVERIFY(examine.LabelGridVoltages == 1 && !drawn.of(Kind::FilledRectangle).empty());
        press("optGridVoltageNo");
        type("Text1", "200");
        box("Text3")->setText("4m");
        press("cmdExit");
        QVERIFY(!window->isVisible() && examine.ExamineVoltsFullscale == 200 && examine.ExamineAmpsFullscale == 0.004f);
        design.PlateVoltageFullscale = 500;
        openExamine();
        QCOMPARE(box("Text1")->text(), "200 ");
        QCOMPARE(examine.LabelGridVoltages, 1);
    }

    // Presses on the window's surface give the readouts; presses on its controls do not.
    void examineReadouts() {
        openExamine();
        ClickAt(*view, 6900, 1950, Qt::RightButton);
        ClickAt(*view, 6600, 2550);
        QCOMPARE(shown({"Label9", "Label10", "Label11", "Label12"}), "|||");
        ClickAt(*view, 6900, 1950, Qt::RightButton);
        const QString readouts = "Delta V: 12.5 |Delta I: 0.00067 |mu: 12.5 |Gm: 666.67  umhos";
        QCOMPARE(shown({"Label9", "Label10", "Label11", "Label12"}), readouts);
        ClickAt(*view, 100, 100, Qt::MiddleButton);
        for (const char* name : {"cmdPrint", "Label1", "Frame2", "optGridVoltageNo", "Label9", "Text1"}) {
            press(name, Qt::RightButton);
            press(name, Qt::LeftButton);
        }
        press("Frame2", Qt::LeftButton);
        QCOMPARE(shown({"Label9", "Label10", "Label11", "Label12"}), readouts);
    }

    // Where known points land on the page at 150 dots per inch: the frame from page point
    // (600, 300) at pixel (323, 240) to (6600, 4800) at (948, 708); the 0 V curve at 125 V.
    void examinePrints() {
        openExamine();
        type("Text8", "0.005");
        press("cmdPrint");
        QVERIFY(box("Text8")->hasFocus() && services->printerDialogs == 0);
        QCOMPARE(services->messages,
                 std::vector<std::string>{"The value for grid voltage stepsize must be >.01 and < 1000"});
        type("Text8", "1");
        services->printer = [this] {
            return std::make_unique<ImageJob>([this](const QImage& printed) { page = printed; });
        };
        dissipation = "200m";
        type("Text4", "1m");
        press("cmdPrint");
        QCOMPARE(design.Dissipation, 0.2f);
        QVERIFY(!page.isNull() && services->printerDialogs == 1 && services->messages.size() == 1);
        for (const QPoint& at : {QPoint(323, 472), QPoint(948, 472), QPoint(635, 240), QPoint(635, 708)})
            QCOMPARE(page.pixel(at), qRgb(0, 0, 0));
        QCOMPARE(page.pixel(635, 466), qRgb(0, 0, 255));
        QCOMPARE(page.pixel(635, 300), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(tst_frmExamine)
#include "tst_frmExamine.moc"
