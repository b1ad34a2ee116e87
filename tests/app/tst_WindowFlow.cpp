#include "app/WindowFlow.h"
#include "support/ScriptedServices.h"
#include "windows/frmExamine.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace valvix;
using namespace valvix::test;

class tst_WindowFlow final : public QObject {
    Q_OBJECT
    DesignState design;
    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<WindowFlow> flow;

    QWidget* current() { return flow->current(); }
    void press(QWidget* window, const char* name) {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void press(const char* name) { press(current(), name); }
    QStringList visible() {
        QStringList titles;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                titles << window->windowTitle();
        }
        return titles;
    }

private slots:
    void init() {
        design = DesignState{};
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
        QVERIFY(text("Label1")->text() == "Valvix" && text("Label2")->text() == "Version 1.04");
        QVERIFY(text("Image1")->pixmap().size() == QSize(200, 329) &&
                text("Image2")->pixmap().size() == QSize(412, 255));
        QTest::mouseClick(text("Image1"), Qt::LeftButton);
        QTest::mouseClick(text("Image2"), Qt::LeftButton);
        QCOMPARE(services->beeps, 1);
        const Canvas& canvas = current()->findChild<CanvasView*>()->canvas();
        for (const double y :
             {450.0, 4500.0, 7500.0, 8900.0}) { // level y / 9000 x 300 + 1, at most 255
            const int level = qRed(canvas.image().pixel(5, int(y * canvas.scale())));
            QVERIFY2(std::abs(level - std::min(255.0, y / 30 + 1)) <= 2,
                     qPrintable(QString::number(level)));
        }
    }

    void exitEndsAtOnce() {
        QSignalSpy ended(flow.get(), &WindowFlow::programEnded);
        current()->findChild<QPushButton*>("cmdExit")->setFocus();
        QTest::keyClick(current()->findChild<QPushButton*>("cmdExit"), Qt::Key_Enter);
        QCOMPARE(ended.size(), 1);
        QCOMPARE(visible(), QStringList{});
    }

    // The README's road through the shipped example, to a printed page without a refusal.
    void readmeRoad() {
        const QString examples = VALVIX_EXAMPLES_DIR;
        press("cmdStart");
        QCOMPARE(visible(), QStringList{"Valvix - Initialize"});
        press("cmdHelpGraphic");
        services->fileAnswers = {(examples + "/example-12AX7.VXF").toStdString(),
                                 (examples + "/example-12AX7.jpg").toStdString(),
                                 services->path("12AX7.VXF"), services->path("12AX7.CKT"),
                                 services->path("12AX7.ASC")};
        press("cmdGetOldDesign");
        press("cmdGetGraphic");
        press("cmdContinue");
        QCOMPARE(visible(), QStringList{"Adjust - " + examples + "/example-12AX7.VXF"});
        for (const char* name :
             {"cmdMuUp", "cmdKg1Down", "cmdKpUp", "cmdExUp", "cmdSaveFile", "cmdPlotRefresh"}) {
            press(name);
        }
        QImage page;
        services->printer = [&] {
            return std::make_unique<ImageJob>([&](const QImage& printed) { page = printed; });
        };
        services->onModal = [&](QDialog& window) {
            if (window.windowTitle().startsWith("Examine")) {
                window.findChild<QLineEdit*>("Text4")->setText("1m");
                press(&window, "cmdPrint");
            } else {
                press(&window, "cmdWrite");
                press(&window, "cmdPlotter");
            }
        };
        press("cmdSubcircuit");
        press("cmdExamine");
        QCOMPARE(services->modalWindows.size(), std::size_t(3));
        QVERIFY(services->messages.empty() && !page.isNull());
        for (const char* file : {"12AX7.VXF", "12AX7.CKT", "12AX7.ASC"})
            QVERIFY(QFile::exists(QString::fromStdString(services->path(file))));
        QSignalSpy ended(flow.get(), &WindowFlow::programEnded);
        press("cmdExit");
        QVERIFY(ended.size() == 1 && visible().isEmpty());
    }
};

QTEST_MAIN(tst_WindowFlow)
#include "tst_WindowFlow.moc"
