#include "app/WindowFlow.h"
#include "support/ScriptedServices.h"
#include "support/WindowTestFiles.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace valvix;
using namespace valvix::test;

class tst_WindowFlow final : public QObject {
    Q_OBJECT

    DesignState design;
    ScriptedServices services;
    WindowTestFiles files;
    std::unique_ptr<WindowFlow> flow;

    QWidget* current() { return flow->current(); }
    void press(const char* name) {
        QTest::mouseClick(current()->findChild<QPushButton*>(name), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    int visibleWindows() {
        int count = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            count += w->isVisible() ? 1 : 0;
        }
        return count;
    }

private slots:
    void init() {
        design = DesignState{};
        services = ScriptedServices{};
        flow = std::make_unique<WindowFlow>(design, services);
        flow->start();
    }
    void cleanup() {
        if (current() != nullptr) {
            current()->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        flow.reset();
    }

    void startWindow() {
        QCOMPARE(current()->windowTitle(), QString("Valvix"));
        QCOMPARE(current()->findChild<QLabel*>("Label2")->text(), QString("Version 1.04"));
        QCOMPARE(current()->findChild<QLabel*>("Image1")->pixmap().size(), QSize(200, 329));
        QCOMPARE(current()->findChild<QLabel*>("Image2")->pixmap().size(), QSize(412, 255));
        QTest::mouseClick(current()->findChild<QLabel*>("Image1"), Qt::LeftButton);
        QCOMPARE(services.beeps, 1);
        QCOMPARE(visibleWindows(), 1);
    }

    void exitEndsAtOnce() {
        QSignalSpy ended(flow.get(), &WindowFlow::programEnded);
        press("cmdExit");
        QCOMPARE(ended.count(), 1);
        QCOMPARE(visibleWindows(), 0);
    }

    void startOpensInitializeAndClosesStart() {
        press("cmdStart");
        QCOMPARE(current()->windowTitle(), QString("Valvix - Initialize"));
        QCOMPARE(visibleWindows(), 1);
    }

    void throughToAdjust() {
        press("cmdStart");
        services.fileAnswers = {files.writeDesign(SampleDesign()), files.writePicture()};
        press("cmdGetOldDesign");
        press("cmdGetGraphic");
        press("cmdContinue");
        QVERIFY(current()->windowTitle().startsWith("Adjust - "));
        QCOMPARE(visibleWindows(), 1);
        QCOMPARE(services.messages.size(), std::size_t(0));

        // Examine and the subcircuit open modally, then the window goes on.
        press("cmdPlotRefresh");
        press("cmdExamine");
        press("cmdSubcircuit");
        QCOMPARE(services.modalWindows.size(), std::size_t(2));

        QSignalSpy ended(flow.get(), &WindowFlow::programEnded);
        press("cmdExit");
        QCOMPARE(ended.count(), 1);
    }

    void graphicHelpFromInitialize() {
        press("cmdStart");
        press("cmdHelpGraphic");
        QCOMPARE(services.modalWindows, std::vector<QString>{"Valvix - Help: Graphic"});
    }
};

QTEST_MAIN(tst_WindowFlow)
#include "tst_WindowFlow.moc"
