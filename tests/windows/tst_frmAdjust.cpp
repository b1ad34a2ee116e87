#include "platform/CanvasView.h"
#include "state/DesignFile.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedServices.h"
#include "support/WindowTestFiles.h"
#include "windows/frmAdjust.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;

class tst_frmAdjust final : public QObject {
    Q_OBJECT

    DesignState design;
    ScriptedServices services;
    WindowTestFiles files;
    std::unique_ptr<frmAdjust> window;
    RecordingSurface drawn;

    void open(const DesignState& start) {
        window.reset();
        design = start;
        design.GraphicFileName = files.writePicture();
        services = ScriptedServices{};
        window = std::make_unique<frmAdjust>(design, services);
        window->view().canvas().setTap(&drawn);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        drawn = RecordingSurface{};
    }
    QLineEdit* field(const QString& name) { return window->findChild<QLineEdit*>(name); }
    QPushButton* button(const QString& name) { return window->findChild<QPushButton*>(name); }
    void press(const QString& name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void type(const QString& name, const QString& text) {
        field(name)->selectAll();
        QTest::keyClicks(field(name), text);
    }

private slots:
    void init() { open(SampleDesign()); }
    void cleanup() { window.reset(); }

    void loadFillsFieldsInPlainForm() {
        QCOMPARE(field("txtEx")->text(), QString(" 1.4"));
        QCOMPARE(field("txtGridVoltageMostNeg")->text(), QString("-10"));
        QCOMPARE(field("txtPlateCurrentFullscale")->text(), QString(" 0.005"));
        QCOMPARE(field("txtKvb")->text(), QString(" 300"));
        QCOMPARE(field("txtDissipation")->text(), QString());
        QCOMPARE(window->windowTitle(), QString("Adjust - "));
        QCOMPARE(services.messages.size(), std::size_t(0));
    }

    void captionNamesTheDesignFile() {
        DesignState start = SampleDesign();
        start.DesignFileName = "/home/x/a.VXF";
        open(start);
        QCOMPARE(window->windowTitle(), QString("Adjust - /home/x/a.VXF"));
    }

    void enabledStates() {
        for (const char* name : {"Command10", "Command14", "cmdSubcircuit"}) {
            QVERIFY2(!button(name)->isEnabled(), name);
        }
        QVERIFY(button("cmdKpUp")->isEnabled());
        QVERIFY(button("cmdExamine")->isEnabled());
        press("cmdPlotRefresh");
        for (const char* name : {"Command10", "Command12", "Command14", "cmdSubcircuit"}) {
            QVERIFY2(button(name)->isEnabled(), name);
        }
        QTest::keyClicks(field("txtMu"), "1");
        QVERIFY(!button("cmdSubcircuit")->isEnabled());
        press("cmdPlotRefresh");
        press("cmdKvbUp");
        QVERIFY(!button("cmdSubcircuit")->isEnabled());
    }

    void validation_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("shown");   // the field's text afterwards when refused
        const QString ex =
            "The value of the exponent must be between 1 and 100; typical value is 1.3";
        const QString pos = "Most positive grid voltage must be between -1000 and +1000";
        const QString neg = "Most negative grid voltage must be more negative than the most "
                            "positive grid voltage but greater than -1000";
        const QString step = "The grid voltage step must be greater than .1 and less than 1000";
        const QString kvb = "The value for Kvb must be greater than 0 and less than 10000000";
        QTest::newRow("exponent 0") << "txtEx"
                                    << "0" << ex << " 0";
        QTest::newRow("exponent 100") << "txtEx"
                                      << "100"
                                      << ""
                                      << "";
        QTest::newRow("grid +1000") << "txtGridVoltageMostPos"
                                    << "1000"
                                    << ""
                                    << "";
        QTest::newRow("grid +1001") << "txtGridVoltageMostPos"
                                    << "+1001" << pos << " 1001";
        QTest::newRow("most negative equals most positive") << "txtGridVoltageMostNeg"
                                                            << "0"
                                                            << ""
                                                            << "";
        QTest::newRow("most negative above most positive") << "txtGridVoltageMostNeg"
                                                           << "1" << neg << " 1";
        QTest::newRow("step 0.1") << "txtGridVoltageStep"
                                  << "0.1"
                                  << ""
                                  << "";
        QTest::newRow("step 0.09") << "txtGridVoltageStep"
                                   << "0.09" << step << " 0.09";
        QTest::newRow("step 1000") << "txtGridVoltageStep"
                                   << "1k"
                                   << ""
                                   << "";
        QTest::newRow("Kg1 0") << "txtKg1"
                               << "0"
                               << "The value for Kg1 must be greater than .001 and less than 100000"
                               << " 0";
        QTest::newRow("Kp 10001") << "txtKp"
                                  << "10001"
                                  << "The value for Kp must be between 1 and 10000"
                                  << " 10001";
        QTest::newRow("Kvb 0") << "txtKvb"
                               << "0" << kvb << " 0";
        QTest::newRow("Kvb 10000000") << "txtKvb"
                                      << "10000000"
                                      << ""
                                      << "";
        QTest::newRow("Mu 0.5") << "txtMu"
                                << "0.5"
                                << "The value for Mu must be greater than 1 and less than 100000"
                                << " 0.5";
        QTest::newRow("volts full scale 0.9")
            << "txtPlateVoltageFullscale"
            << "0.9"
            << "The value for Plate voltage full scale must be greater than 1 and less than 1000000"
            << " 0.9";
        QTest::newRow("amps full scale 2m") << "txtPlateCurrentFullscale"
                                            << "2m"
                                            << ""
                                            << "";
        QTest::newRow("amps full scale 0")
            << "txtPlateCurrentFullscale"
            << "abc"
            << "The value for Plate current full scale must be greater than 1mA and less than "
               "10000 amperes"
            << " 0";
    }
    void validation() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        type(name, text);
        press("cmdPlotRefresh");
        if (message.isEmpty()) {
            QCOMPARE(services.messages.size(), std::size_t(0));
            QVERIFY(!drawn.ofKind(Kind::Dot).empty());
            return;
        }
        QCOMPARE(services.messages, std::vector<std::string>{message.toStdString()});
        QCOMPARE(field(name)->text(), shown);
        QVERIFY(field(name)->hasFocus());
        QVERIFY(drawn.ofKind(Kind::Dot).empty());                     // nothing drawn
        QCOMPARE(drawn.ofKind(Kind::Picture).size(), std::size_t(1)); // old curves covered
    }

    void firstRefusedFieldWinsAndLaterFieldsAreNotRead() {
        type("txtMu", "0");
        type("txtEx", "0");
        type("txtPlateVoltageFullscale", "500");
        press("cmdPlotRefresh");
        QCOMPARE(services.messages.size(), std::size_t(1));
        QVERIFY(services.messages[0].find("exponent") != std::string::npos);
        QCOMPARE(design.Ex, 0.0f);   // the refused value is stored
        QCOMPARE(design.Mu, 100.0f); // Mu comes later: not read
        QCOMPARE(design.PlateVoltageFullscale, 300.0f);
    }

    void validationUnderstandsSuffixes() {
        type("txtPlateCurrentFullscale", "2m");
        press("cmdPlotRefresh");
        QCOMPARE(design.PlateCurrentFullscale, 0.002f);
    }

    void upReadsAPlainNumber() {
        type("txtKp", "1.5k");
        press("cmdKpUp");
        QCOMPARE(design.Kp, 1.545f);
        QCOMPARE(field("txtKp")->text(), QString(" 1.545"));
    }

    void kvbUpThreeTimesThenDownThreeTimes() {
        for (int i = 0; i < 3; ++i) {
            press("cmdKvbUp");
        }
        QVERIFY(qAbs(design.Kvb - 399.3f) < 0.01f);
        for (int i = 0; i < 3; ++i) {
            press("cmdKvbDown");
        }
        QVERIFY(qAbs(design.Kvb - 300.0f) < 0.001f);
    }

    void stepBeyondTheSingleRangeIsRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("value too large to read") << "1E39";
        QTest::newRow("step carries it too far") << "3.4E38";
    }
    void stepBeyondTheSingleRangeIsRefused() {
        QFETCH(QString, text);
        type("txtKvb", text);
        const float before = design.Kvb;
        press("cmdKvbUp");
        QCOMPARE(services.messages.size(), std::size_t(1));
        QCOMPARE(design.Kvb, before);
        QCOMPARE(field("txtKvb")->text(), text);
    }

    void refusedAtLoadGetsFocusWhenShown() {
        DesignState start = SampleDesign();
        start.Ex = 0;
        window.reset();
        design = start;
        services = ScriptedServices{};
        window = std::make_unique<frmAdjust>(design, services);
        QCOMPARE(services.messages.size(), std::size_t(1));
        QCOMPARE(field("txtEx")->text(), QString(" 0"));
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(field("txtEx")->hasFocus());
    }

    void dissipationFollowsTheLastCurvesPen_data() {
        QTest::addColumn<QString>("mostNeg");
        QTest::addColumn<int>("pen");
        QTest::newRow("last curve -10 V") << "-10" << 2;
        QTest::newRow("last curve 0 V") << "0" << 3;
    }
    void dissipationFollowsTheLastCurvesPen() {
        QFETCH(QString, mostNeg);
        QFETCH(int, pen);
        type("txtGridVoltageMostNeg", mostNeg);
        type("txtDissipation", "0.5");
        press("cmdPlotRefresh");
        int red = 0;
        for (const auto& dot : drawn.ofKind(Kind::Dot)) {
            if (dot.colour == kRed) {
                ++red;
                QCOMPARE(dot.pen, pen);
            }
        }
        QVERIFY(red > 100);
    }

    void savedDesignReadsBackEqual() {
        const std::string file = files.path("saved.VXF");
        services.fileAnswers = {file};
        press("cmdSaveFile");
        QCOMPARE(services.dialogs.at(0).title, std::string("Save Valvix design file"));
        DesignState back;
        QVERIFY(ReadDesignFile(file, back).ok);
        QCOMPARE(back.Mu, design.Mu);
        QCOMPARE(back.PlateCurrentFullscale, design.PlateCurrentFullscale);
        QCOMPARE(back.Ybottom, design.Ybottom);
        QCOMPARE(design.SaveFileName, file);

        // Cancelling later writes nothing, not even to the file saved before.
        QFile::remove(QString::fromStdString(file));
        press("cmdSaveFile");
        QVERIFY(!QFile::exists(QString::fromStdString(file)));
        QCOMPARE(services.messages.size(), std::size_t(0));
    }

    void saveFailureIsReported() {
        services.fileAnswers = {files.path("no-such-folder/x.VXF")};
        press("cmdSaveFile");
        QCOMPARE(services.beeps, 1);
        QCOMPARE(services.messages,
                 std::vector<std::string>{"The Valvix file was not written correctly."});
    }

    void helpWindowsOpenModallyThenRedraw_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Kvb") << "Command10"
                             << "Valvix - Help: Kvb";
        QTest::newRow("exponent") << "Command11"
                                  << "Valvix - Help: Exponent";
        QTest::newRow("Mu") << "Command12"
                            << "Form1";
        QTest::newRow("Kg1") << "Command13"
                             << "Form1";
        QTest::newRow("Kp") << "Command14"
                            << "Form1";
    }
    void helpWindowsOpenModallyThenRedraw() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        press("cmdPlotRefresh");
        drawn.items.clear();
        press(name);
        QCOMPARE(services.modalWindows, std::vector<QString>{caption});
        QCOMPARE(drawn.ofKind(Kind::Picture).size(), std::size_t(1));
        QVERIFY(!drawn.ofKind(Kind::Dot).empty());
    }
};

QTEST_MAIN(tst_frmAdjust)
#include "tst_frmAdjust.moc"
