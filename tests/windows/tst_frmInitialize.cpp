#include "platform/CanvasView.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedServices.h"
#include "support/WindowTestFiles.h"
#include "windows/frmInitialize.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;

namespace {

const std::string kPictureMessage = "We did not retrieve a tube-curve graphic.\r\n"
                                    "Please select correctly-sized graphic file.\r\n"
                                    "See the instruction manual, Appendix B, page 127,\r\n"
                                    "'Graphics requirements' (400 px wide by 300 tall).";

} // namespace

class tst_frmInitialize final : public QObject {
    Q_OBJECT

    DesignState design;
    ScriptedServices services;
    WindowTestFiles files;
    std::unique_ptr<frmInitialize> window;
    RecordingSurface drawn;

    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    // Loads the sample design and a plain picture: the "picture shown" state.
    void showPicture() {
        services.fileAnswers = {files.writeDesign(SampleDesign()), files.writePicture()};
        press("cmdGetOldDesign");
        press("cmdGetGraphic");
    }

private slots:
    void init() {
        design = DesignState{};
        services = ScriptedServices{};
        drawn = RecordingSurface{};
        window = std::make_unique<frmInitialize>(design, services);
        window->view().canvas().setTap(&drawn);
        window->show();
    }
    void cleanup() { window.reset(); }

    void freshWindow() {
        QCOMPARE(window->windowTitle(), QString("Valvix - Initialize"));
        QVERIFY(button("cmdGetOldDesign")->isEnabled());
        QVERIFY(button("cmdExit")->isEnabled());
        QVERIFY(!button("cmdGetGraphic")->isEnabled());
        QVERIFY(!button("cmdContinue")->isEnabled());
        QVERIFY(button("cmdAlignPlot")->isHidden());
        for (int i = 1; i <= 8; ++i) {
            QVERIFY(!button(qPrintable(QString("Command%1").arg(i)))->isEnabled());
        }
    }

    void cancellingTheFirstDesignDialog() {
        press("cmdGetOldDesign");
        QCOMPARE(window->windowTitle(), QString("Initialize - "));
        QVERIFY(!button("cmdGetGraphic")->isEnabled());
        QCOMPARE(services.messages.size(), std::size_t(0));
        QCOMPARE(services.dialogs.at(0).title, std::string("Get Valvix file"));
        QCOMPARE(services.dialogs.at(0).filter, std::string("Valvix files (*.VXF)|*.VXF"));
    }

    void choosingADesign() {
        const std::string file = files.writeDesign(SampleDesign());
        services.fileAnswers = {file};
        press("cmdGetOldDesign");
        QCOMPARE(window->windowTitle(), QString::fromStdString("Initialize - " + file));
        QVERIFY(button("cmdGetGraphic")->isEnabled());
        QCOMPARE(design.Xleft, 465.0f);
        QCOMPARE(design.Kg1, 1060.0f);
        QVERIFY(drawn.items.empty()); // nothing is drawn until a picture is asked for

        // Cancelling the dialog later reads the same file again: nudges are undone.
        design.Xleft = 0;
        press("cmdGetOldDesign");
        QCOMPARE(design.Xleft, 465.0f);
    }

    void aDesignThatCannotBeRead() {
        services.fileAnswers = {files.path("missing.VXF")};
        press("cmdGetOldDesign");
        QCOMPARE(services.beeps, 1);
        QCOMPARE(services.messages.at(0),
                 "The chosen file (" + files.path("missing.VXF") + ") was not read correctly.");
        QVERIFY(!button("cmdGetGraphic")->isEnabled());
    }

    void pictureShown() {
        showPicture();
        QCOMPARE(services.dialogs.at(1).title, std::string("Import curve graphic"));
        QCOMPARE(services.messages.size(), std::size_t(0));
        QVERIFY(!button("cmdAlignPlot")->isHidden());
        QVERIFY(button("cmdContinue")->isEnabled());
        QVERIFY(button("Command5")->isEnabled());
        const auto pictures = drawn.ofKind(Kind::Picture);
        QCOMPARE(pictures.size(), std::size_t(1));
        QCOMPARE(pictures[0].a, (PointF{360, 30}));
        QCOMPARE(pictures[0].b, (PointF{6060, 3830}));
        const auto frames = drawn.ofKind(Kind::Rectangle);
        QCOMPARE(frames.size(), std::size_t(1));
        QCOMPARE(frames[0].pen, 1);
    }

    void curvesDrawnOverThePicture() {
        showPicture();
        const auto dots = drawn.ofKind(Kind::Dot);
        QVERIFY(dots.size() > 1000);
        bool thick = false;
        for (const auto& dot : dots) {
            QCOMPARE(dot.colour, kBlue);
            QVERIFY(dot.a.x > 465 && dot.a.x < 5910 && dot.a.y > 210);
            thick = thick || dot.pen == 3;
        }
        QVERIFY(thick);
        // The last curve is -10 V: the next frame is drawn 2 pixels wide.
        press("cmdAlignPlot");
        QCOMPARE(drawn.ofKind(Kind::Rectangle).back().pen, 2);
    }

    void failedPicture_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("picture dialog cancelled") << true;
        QTest::newRow("file does not exist") << false;
    }
    void failedPicture() {
        QFETCH(bool, cancel);
        services.fileAnswers = {files.writeDesign(SampleDesign())};
        services.fileAnswers.push_back(cancel ? std::nullopt
                                              : std::optional(files.path("none.jpg")));
        press("cmdGetOldDesign");
        press("cmdGetGraphic");
        QCOMPARE(services.messages, std::vector<std::string>{kPictureMessage});
        QCOMPARE(button("cmdAlignPlot")->isHidden(), cancel);
        QVERIFY(!button("cmdContinue")->isEnabled());
        QVERIFY(drawn.ofKind(Kind::Dot).empty());
        // Aligning without a picture says the same and stops.
        if (!cancel) {
            press("cmdAlignPlot");
            QCOMPARE(services.messages.size(), std::size_t(2));
        }
    }

    void nudges_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("edge"); // 0 Xleft, 1 Xright, 2 Ytop, 3 Ybottom
        QTest::addColumn<float>("change");
        QTest::newRow("XL left") << "Command1" << 0 << -15.0f;
        QTest::newRow("XL right") << "Command4" << 0 << 15.0f;
        QTest::newRow("XR left") << "Command7" << 1 << -15.0f;
        QTest::newRow("XR right") << "Command8" << 1 << 15.0f;
        QTest::newRow("YT up") << "Command2" << 2 << -15.0f;
        QTest::newRow("YT down") << "Command3" << 2 << 15.0f;
        QTest::newRow("YB up") << "Command5" << 3 << -15.0f;
        QTest::newRow("YB down") << "Command6" << 3 << 15.0f;
    }
    void nudges() {
        QFETCH(QString, name);
        QFETCH(int, edge);
        QFETCH(float, change);
        showPicture();
        float* edges[] = {&design.Xleft, &design.Xright, &design.Ytop, &design.Ybottom};
        const float before = *edges[edge];
        drawn.items.clear();
        press(qPrintable(name));
        QCOMPARE(*edges[edge], before + change);
        QCOMPARE(drawn.ofKind(Kind::Picture).size(), std::size_t(1));
        const auto frames = drawn.ofKind(Kind::Rectangle);
        QCOMPARE(frames.size(), std::size_t(1));
        QCOMPARE(frames[0].a, (PointF{design.Xleft, design.Ytop}));
        QCOMPARE(frames[0].b, (PointF{design.Xright, design.Ybottom}));
        QVERIFY(drawn.ofKind(Kind::Dot).empty()); // a nudge does not redraw the curves
    }

    void fourNudgesMoveSixtyUnits() {
        showPicture();
        for (int i = 0; i < 4; ++i) {
            press("Command4");
        }
        QCOMPARE(design.Xleft, 525.0f);
    }

    void meaninglessDesignIsNamedNotDrawnForever_data() {
        QTest::addColumn<int>("fault");
        QTest::newRow("volts full scale 0") << 0;
        QTest::newRow("grid step 0") << 1;
        QTest::newRow("Mu 0") << 2;
        QTest::newRow("crossed frame") << 3;
    }
    void meaninglessDesignIsNamedNotDrawnForever() {
        QFETCH(int, fault);
        DesignState bad = SampleDesign();
        (fault == 0   ? bad.PlateVoltageFullscale
         : fault == 1 ? bad.GridVoltageStep
         : fault == 2 ? bad.Mu
                      : bad.Xright) = 0;
        services.fileAnswers = {files.writeDesign(bad), files.writePicture()};
        press("cmdGetOldDesign");
        press("cmdGetGraphic");
        QCOMPARE(services.messages.size(), std::size_t(1));
        QVERIFY(button("cmdContinue")->isEnabled());
    }

    void continueAndExit() {
        QSignalSpy continued(window.get(), &frmInitialize::continueRequested);
        QSignalSpy exited(window.get(), &frmInitialize::exitRequested);
        press("cmdExit");
        QCOMPARE(exited.count(), 1);
        showPicture();
        press("cmdContinue");
        QCOMPARE(continued.count(), 1);
    }
};

QTEST_MAIN(tst_frmInitialize)
#include "tst_frmInitialize.moc"
