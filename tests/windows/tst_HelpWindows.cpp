#include "windows/HelpWindows.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

using namespace valvix;

using Factory = std::function<std::unique_ptr<QDialog>()>;
Q_DECLARE_METATYPE(Factory)

class tst_HelpWindows final : public QObject {
    Q_OBJECT
private slots:
    void captionTextAndSize_data() {
        QTest::addColumn<Factory>("make");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("exitName");
        QTest::addColumn<QString>("text");
        QTest::newRow("Kvb") << Factory([] { return std::make_unique<frmHelpKvb>(); })
                             << "Valvix - Help: Kvb" << QSize(505, 279) << "cmdExit"
                             << "Entering (into the textbox) or adjusting (using the Down or Up "
                                "buttons) the value for \"Kvb\" allows changing that parameter.  "
                                "This affects the shape of the family of curves in the low plate "
                                "voltage region.";
        QTest::newRow("exponent")
            << Factory([] { return std::make_unique<frmHelpExponent>(); })
            << "Valvix - Help: Exponent" << QSize(505, 277) << "Command1"
            << "Exponent sets the \"curvature\" of each of the grid-voltage plots, as might be "
               "surmized. A greater value will result in a more sharply  increased value of plate "
               "current as the grid voltage increases. In most textbooks this value is assumed to "
               "be about 1.5 (3/2, hence \"three-halves power\").  ";
        QTest::newRow("Mu") << Factory([] { return std::make_unique<frmHelpMu>(); }) << "Form1"
                            << QSize(505, 279) << "Command1"
                            << "Entering into the textbox a value for Mu (or adjusting it by using "
                               "the up/down buttons) will reset that value.  It shows up on the "
                               "plot as an x-axis separation between the individual grid-voltage "
                               "plots.  Note that the various adjustments are quite interactive.";
        QTest::newRow("Kg1") << Factory([] { return std::make_unique<frmHelpKg1>(); }) << "Form1"
                             << QSize(497, 279) << "Command1"
                             << "Entering into the textbox or adjusting that value using the Up or "
                                "Down buttons adjusts the \"vertical gain\" of the plot. Think of "
                                "this as adjusting the vertical gain or sensitivity of an "
                                "oscilloscope.";
        QTest::newRow("Kp") << Factory([] { return std::make_unique<frmHelpKp>(); }) << "Form1"
                            << QSize(513, 245) << "Command1"
                            << "Entering into the textbox or then adjusting the value for \"Kp\" "
                               "will adjust the shape of the family of curves at high plate "
                               "voltages and low plate current. ";
        QTest::newRow("graphic")
            << Factory([] { return std::make_unique<frmHelpGraphic>(); })
            << "Valvix - Help: Graphic" << QSize(505, 279) << "cmdExit"
            << "This button is used to check that the computer-generated plot matches the size of "
               "the imported graphic. To get such a graphic click on the \"Get old graphic\" "
               "button. The size of that graphic should be about 400 pixels wide by about 300 "
               "pixels tall. The program does not resize that graphic.  Acceptable formats are "
               ".JPG,  .GIF  and  .BMP.  To make the computer-generated plot agree with the "
               "imported graphic, use the X and Y buttons.  Each button press changes the "
               "affililated line by one pixel.  When a design is saved, this process will not "
               "have to be repeated.";
    }
    void captionTextAndSize() {
        QFETCH(Factory, make);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(QString, exitName);
        QFETCH(QString, text);
        for (int opening = 0; opening < 2; ++opening) { // nothing carries over
            const std::unique_ptr<QDialog> window = make();
            window->show();
            QCOMPARE(window->windowTitle(), caption);
            QCOMPARE(window->size(), size);
            QCOMPARE(window->findChild<QLabel*>("Label1")->text(), text);
            auto* exit = window->findChild<QPushButton*>(exitName);
            QCOMPARE(exit->text(), QString("Exit"));
            QTest::mouseClick(exit, Qt::LeftButton);
            QVERIFY(!window->isVisible());
        }
    }
};

QTEST_MAIN(tst_HelpWindows)
#include "tst_HelpWindows.moc"
