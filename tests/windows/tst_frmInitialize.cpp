#include "support/RecordingSurface.h"
#include "support/SampleDesign.h"
#include "support/ScriptedServices.h"
#include "windows/frmInitialize.h"

#include <QPushButton>

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
    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<frmInitialize> window;
    RecordingSurface drawn;

    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void press(const char* name) {
        const QPoint at = button(name)->geometry().center() * 15;
        ClickAt(window->view(), float(at.x()), float(at.y()));
    }
    // Loads a design and a plain picture: the "picture shown" state.
    void showPicture(const DesignState& chosen = SampleDesign()) {
        services->fileAnswers = {services->writeDesign(chosen), services->writePicture()};
        press("cmdGetOldDesign");
        press("cmdGetGraphic");
    }
    QString enabled() {
        QString states;
        for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5",
                                 "Command6", "Command7", "Command8", "cmdGetOldDesign",
                                 "cmdGetGraphic", "cmdContinue", "cmdExit", "cmdAlignPlot"}) {
            states += button(name)->isHidden() ? "h" : button(name)->isEnabled() ? "1" : "0";
        }
        return states;
    }

private slots:
    void init() {
        design = DesignState{};
        services = std::make_unique<ScriptedServices>();
        window = std::make_unique<frmInitialize>(design, *services);
        window->view().canvas().setTap(&drawn);
        drawn.items.clear();
        Show(*window);
    }
    void cleanup() { window.reset(); }

    void opens() {
        // clang-format off
        CheckLayout(window->view(), {
            {"cmdAlignPlot", "Align plot and refresh", 7030, 890, 2485, 360}, {"Command2", "YT", 8000, 1400, 500, 390},
            {"Command3", "YT", 8000, 1780, 500, 390}, {"Command1", "XL", 7030, 2160, 500, 390},
            {"Command4", "XL", 7515, 2160, 500, 390}, {"Command7", "XR", 8484, 2160, 500, 390},
            {"Command8", "XR", 8970, 2160, 500, 390}, {"Command5", "YB", 8000, 2544, 500, 390},
            {"Command6", "YB", 8000, 2926, 500, 390}, {"cmdGetOldDesign", "Get old design", 4000, 5500, 2100, 390},
            {"cmdGetGraphic", "Get graphic", 4000, 6000, 2100, 390}, {"cmdContinue", "Continue", 7030, 6500, 2100, 390},
            {"cmdExit", "Exit", 7030, 7000, 2100, 390}});
        // clang-format on
        QCOMPARE(window->windowTitle(), "Valvix - Initialize");
        QCOMPARE(enabled(), "000000001001h");
        press("cmdGetOldDesign");
        QCOMPARE(window->windowTitle(), "Initialize - ");
        QCOMPARE(enabled(), "000000001001h");
        const FileDialogRequest& dialog = services->dialogs.at(0);
        QCOMPARE(dialog.title + "|" + dialog.filter + "|" + dialog.proposedName,
                 "Get Valvix file|Valvix files (*.VXF)|*.VXF|");
        QVERIFY(services->messages.empty() && drawn.items.empty());
    }

    // A chosen design is read, the picture dialog offered; cancelling later reads the same
    // file again.
    void getsTheDesignThenThePicture() {
        const std::string file = services->writeDesign(SampleDesign());
        services->fileAnswers = {file, std::nullopt, services->writePicture()};
        press("cmdGetOldDesign");
        QCOMPARE(window->windowTitle(), QString::fromStdString("Initialize - " + file));
        QCOMPARE(enabled(), "000000001101h");
        QCOMPARE(ValuesOf(design), ValuesOf(SampleDesign()));
        design.Xleft = 0;
        press("cmdGetOldDesign");
        QCOMPARE(services->dialogs.at(1).proposedName, file);
        QVERIFY(design.Xleft == 600 && drawn.items.empty());
        press("cmdGetGraphic");
        const FileDialogRequest& dialog = services->dialogs.at(2);
        QCOMPARE(dialog.title + "|" + dialog.filter,
                 "Import curve graphic|Tube curve graphic (*.JPG,*.GIF,*.BMP) | *.JPG;*.GIF;*.BMP");
        QCOMPARE(enabled(), "1111111111111");
        QVERIFY(services->messages.empty());
        const auto& picture = drawn.items.at(0);
        QVERIFY(picture.kind == Kind::Picture && picture.a == (PointF{360, 30}) &&
                picture.b == (PointF{6060, 3830}));
        const auto& frame = drawn.items.at(1);
        QVERIFY(frame.kind == Kind::Rectangle && frame.pen == 1 && frame.a == (PointF{600, 300}) &&
                frame.colour == kBlue);
        QVERIFY(drawn.at(Kind::Dot, {3600, 2477.84326f}).pen == 3 && drawn.items.size() == 10794);
        drawn.items.clear();
        press("cmdAlignPlot"); // the next frame with the pen of the last curve, -10 V
        QVERIFY(drawn.items.size() == 10794 && drawn.items.at(1).pen == 2);
    }

    void failures() {
        services->fileAnswers = {services->path("missing.VXF")};
        press("cmdGetOldDesign");
        QCOMPARE(services->beeps, 1);
        QCOMPARE(services->messages.at(0),
                 "The chosen file (" + services->path("missing.VXF") + ") was not read correctly.");
        QCOMPARE(enabled(), "000000001001h");
        for (const bool cancel : {true, false}) {
            init();
            services->fileAnswers = {services->writeDesign(SampleDesign()),
                                     cancel ? std::nullopt
                                            : std::optional(services->path("no.jpg"))};
            press("cmdGetOldDesign");
            press("cmdGetGraphic");
            QCOMPARE(services->messages, std::vector{kPictureMessage});
            QCOMPARE(enabled(), cancel ? "000000001101h" : "0000000011011");
            QVERIFY(drawn.of(Kind::Dot).empty());
        }
        press("cmdAlignPlot");
        QCOMPARE(services->messages.size(), std::size_t(2));
        // A design that cannot give curves is named, once, and the window goes on.
        for (float D::*field :
             {&D::PlateVoltageFullscale, &D::GridVoltageStep, &D::Mu, &D::Xright}) {
            init();
            DesignState bad = SampleDesign();
            bad.*field = 0;
            showPicture(bad);
            QCOMPARE(services->messages.size(), std::size_t(1));
            QCOMPARE(enabled(), "1111111111111");
        }
    }

    // Each alignment button moves one edge 15 units, repaints the picture and redraws the
    // frame, not the curves.
    void nudges() {
        showPicture();
        // clang-format off
        const std::tuple<const char*, float D::*, float> kNudges[] = {
            {"Command1", &D::Xleft, 585}, {"Command4", &D::Xleft, 600}, {"Command7", &D::Xright, 6585}, {"Command8", &D::Xright, 6600},
            {"Command2", &D::Ytop, 285}, {"Command3", &D::Ytop, 300}, {"Command5", &D::Ybottom, 4785}, {"Command6", &D::Ybottom, 4800}};
        // clang-format on
        for (const auto& [name, edge, value] : kNudges) {
            drawn.items.clear();
            press(name);
            QCOMPARE(design.*edge, value);
            QCOMPARE(drawn.items.size(), std::size_t(2));
            QVERIFY(drawn.items[0].kind == Kind::Picture && drawn.items[1].kind == Kind::Rectangle);
            QVERIFY(drawn.items[1].a == (PointF{design.Xleft, design.Ytop}) &&
                    drawn.items[1].b == (PointF{design.Xright, design.Ybottom}));
        }
        for (int i = 0; i < 4; ++i)
            press("Command4");
        QCOMPARE(design.Xleft, 660.0f);
    }

    void continuesAndExits() {
        QSignalSpy continued(window.get(), &frmInitialize::continueRequested);
        QSignalSpy exited(window.get(), &frmInitialize::exitRequested);
        press("cmdExit");
        showPicture();
        button("cmdContinue")->setFocus();
        QTest::keyClick(button("cmdContinue"), Qt::Key_Return);
        QVERIFY(continued.size() == 1 && exited.size() == 1);
    }
};

QTEST_MAIN(tst_frmInitialize)
#include "tst_frmInitialize.moc"
