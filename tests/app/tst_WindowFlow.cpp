#include "app/WindowFlow.h"
#include "support/ScriptedServices.h"

using namespace valvix;
using namespace valvix::test;

class tst_WindowFlow final : public QObject {
    Q_OBJECT
    Design design;
    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<WindowFlow> flow;

    QWidget* current() { return flow->current(); }
    void press(QWidget* window, const char* name) {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void press(const char* name) { press(current(), name); }
    // The windows there are, closed ones gone.
    QStringList visible() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList titles;
        for (QWidget* window : QApplication::topLevelWidgets())
            titles << window->windowTitle() + (window->isVisible() ? "" : " (hidden)");
        return titles;
    }

private slots:
    void init() {
        design = Design{};
        services = std::make_unique<ScriptedServices>();
        flow = std::make_unique<WindowFlow>(design, *services);
        flow->start();
    }
    void cleanup() {
        if (current() != nullptr)
            current()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        flow.reset();
    }

    // The start window: its texts and pictures over a grey ramp, a beep from the photograph.
    void startWindow() {
        QCOMPARE(visible(), QStringList{"Valvix"});
        const auto text = [&](const char* name) { return current()->findChild<QLabel*>(name); };
        Show(*current());
        // clang-format off
        CheckLayout(*current()->findChild<CanvasView*>(), {
            {"Label1", "Valvix", 120, 120, 11800, 1000}, {"Image1", "", 1620, 1500, 3000, 4935}, {"Image2", "", 4680, 1500, 6180, 3825},
            {"cmdStart", "Start", 4680, 5600, 1500, 360}, {"cmdExit", "Exit", 4680, 6100, 1500, 360},
            {"Label2", "Version 1.04", 120, 7250, 11800, 720}, {"Label3", text("Label3")->text(), 120, 7800, 11800, 540}});
        // clang-format on
        QTest::mouseClick(text("Image1"), Qt::LeftButton);
        QTest::mouseClick(text("Image2"), Qt::LeftButton);
        QCOMPARE(services->beeps, 1);
        const Canvas& canvas = current()->findChild<CanvasView*>()->canvas();
        for (const double y : {450.0, 4500.0, 7500.0, 8900.0}) { // level y / 9000 x 300 + 1, at most 255
            const int level = qRed(canvas.image().pixel(5, int(y * canvas.scale())));
            QVERIFY2(std::abs(level - std::min(255.0, y / 30 + 1)) <= 2, qPrintable(QString::number(level)));
        }
        QSignalSpy ended(flow.get(), &WindowFlow::programEnded);
        QTest::keyClick(current()->findChild<QPushButton*>("cmdExit"), Qt::Key_Enter);
        QVERIFY(ended.size() == 1 && visible().isEmpty());
    }

    // The README's road through the shipped example, to a printed page without a refusal.
    void readmeRoad() {
        const QString examples = VALVIX_EXAMPLES_DIR;
        press("cmdStart");
        QCOMPARE(visible(), QStringList{"Valvix - Initialize"});
        services->onModal = [](QDialog& help) {
            QCOMPARE(qChecksum(help.findChild<QLabel*>("Label1")->text().toUtf8()), 38897);
        };
        press("cmdHelpGraphic");
        QCOMPARE(services->modalWindows.back(), "Valvix - Help: Graphic");
        services->fileAnswers = {(examples + "/example-12AX7.VXF").toStdString(),
                                 (examples + "/example-12AX7.jpg").toStdString(), services->path("12AX7.VXF"),
                                 services->path("12AX7.CKT"), services->path("12AX7.ASC")};
        press("cmdGetOldDesign");
        press("cmdGetGraphic");
        press("cmdContinue");
        Type(*current(), "txtDissipation", "1");
        QVERIFY(visible() == QStringList{"Adjust - " + examples + "/example-12AX7.VXF"} && design.Mu == 90); // unfitted
        for (const char* name : {"cmdMuUp", "cmdKg1Down", "cmdKpUp", "cmdExUp", "cmdSaveFile", "cmdPlotRefresh"})
            press(name);
        QImage page;
        services->printer = [&] { return std::make_unique<ImageJob>([&](const QImage& printed) { page = printed; }); };
        services->onModal = [&](QDialog& window) {
            if (window.windowTitle().startsWith("Examine")) {
                window.findChild<QLineEdit*>("Text4")->setText("1m");
                design.Dissipation = 0;
                press(&window, "cmdPrint"); // reads the dissipation from the Adjust window
                QCOMPARE(design.Dissipation, 1.0f);
            } else {
                press(&window, "cmdWrite");
                press(&window, "cmdPlotter");
            }
        };
        press("cmdSubcircuit");
        press("cmdExamine");
        QCOMPARE(services->modalWindows.size(), std::size_t(3)); // and the graphic help
        QVERIFY(services->messages.empty() && !page.isNull() && design.Dissipation == 1);
        for (const char* file : {"12AX7.VXF", "12AX7.CKT", "12AX7.ASC"})
            QVERIFY(QFile::exists(QString::fromStdString(services->path(file))));
        QSignalSpy ended(flow.get(), &WindowFlow::programEnded);
        press("cmdExit");
        QVERIFY(ended.size() == 1 && visible().isEmpty());
    }

    // A design read whole from the shipped 6SN7 picture is fitted from no start as the Adjust window opens, as one
    // step that "Undo fit" takes back: Mu within 3 % of the 20 the chart was drawn from (examples/README.md; the
    // example design's 17 is left unfitted on purpose).
    void newDesignFromPictureFitsAtOnce() {
        press("cmdStart");
        services->fileAnswers = {VALVIX_EXAMPLES_DIR "/example-6SN7.jpg"};
        press("cmdNewDesignFromPicture");
        press("cmdContinue");
        QVERIFY2(std::abs(design.Mu - 20) <= 0.03f * 20, qPrintable(QString::number(design.Mu)));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr); // the wait cursor gone with the fit
        QVERIFY(visible() == QStringList{"Adjust - "} && services->messages.empty());
        press("cmdUndoFit");
        QCOMPARE(design.Mu, 0.0f);
    }
};

QTEST_MAIN(tst_WindowFlow)
#include "tst_WindowFlow.moc"
