#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "support/RecordingSurface.h"
#include "support/SampleDesign.h"
#include "support/ScriptedServices.h"
#include "windows/frmAdjust.h"
#include "windows/frmExamine.h"
#include "windows/frmInitialize.h"
#include "windows/frmShowSubcircuit.h"

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;

// The windows driven as a user would: clicks at the pixels of their controls, typed keys.
class tst_Windows final : public QObject {
    Q_OBJECT
    DesignState design;
    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<QWidget> window;
    CanvasView* view = nullptr;
    RecordingSurface drawn;
    std::string dissipation;
    QImage page;

    // A fresh design with a chart picture, and fresh services.
    void reset() {
        window.reset();
        services = std::make_unique<ScriptedServices>();
        design = SampleDesign();
        design.GraphicFileName = services->writePicture();
        dissipation.clear();
    }
    // Opens a window of the kind on the design, shown at 800 x 600, what it draws recorded.
    template <class Window, class... Extra> void open(Extra... extra) {
        window = std::make_unique<Window>(design, *services, extra...);
        view = window->findChild<CanvasView*>();
        if (view != nullptr)
            view->canvas().setTap(&(drawn = {}));
        Show(*window);
        drawn.items.clear();
    }
    void openAdjust() {
        reset();
        open<frmAdjust>();
    }
    void openExamine() {
        open<frmExamine>([this] { return dissipation; });
    }
    void press(const char* name, Qt::MouseButton button = Qt::LeftButton) {
        if (view != nullptr)
            Press(*view, name, button);
        else
            QTest::mouseClick(window->findChild<QPushButton*>(name), button);
    }
    void type(const char* name, const QString& text) { Type(*window, name, text); }
    QLineEdit* box(const QString& name) { return window->findChild<QLineEdit*>(name); }
    // Each named control's text, or for a button 1 enabled, 0 disabled, h hidden; by "|".
    QString shown(std::initializer_list<const char*> names) {
        QStringList texts;
        for (const char* name : names) {
            const auto* c = window->findChild<QWidget*>(name);
            const QString state = c->isHidden() ? "h" : QString::number(c->isEnabled());
            texts << (c->inherits("QPushButton") ? state : c->property("text").toString());
        }
        return texts.join('|');
    }
    // What was drawn since the last look: "picture" alone, or "plot" when the curves (and
    // the red limit curve, "+ red") followed.
    QString drawing() {
        const std::size_t n = drawn.items.size();
        QString what = n == 1 ? "picture" : n > 1000 && drawn.items.front().kind == Kind::Picture ? "plot" : "";
        what += drawn.of(Kind::Dot, kRed).empty() ? "" : " + red";
        drawn.items.clear();
        return what;
    }
    // The Adjust window's fields Ex to the dissipation, "See subcircuit", the messages shown
    // since the last look and what was drawn.
    QString adjustState() {
        QString state = shown({"txtEx", "txtGridVoltageMostPos", "txtGridVoltageMostNeg", "txtGridVoltageStep",
                               "txtKg1", "txtKp", "txtKvb", "txtMu", "txtPlateVoltageFullscale",
                               "txtPlateCurrentFullscale", "txtDissipation", "cmdSubcircuit"});
        for (const std::string& message : services->messages)
            state += "|" + QString::fromStdString(message);
        services->messages.clear();
        return state + "|" + drawing();
    }
    // Chooses a design and a picture in the dialogs (nothing: cancel) and shows the picture.
    void getDesignAndPicture(const DesignState& chosen, const std::optional<std::string>& picture) {
        services->fileAnswers = {services->writeDesign(chosen), picture};
        press("cmdGetOldDesign");
        press("cmdGetGraphic");
    }
    // The Initialize window's buttons, then what was drawn since the last look: each item
    // but the dots as its corners and pen, then the number of dots.
    QString initializeState() {
        QString states =
            shown({"Command1", "Command2", "Command3", "Command4", "Command5", "Command6", "Command7", "Command8",
                   "cmdGetOldDesign", "cmdGetGraphic", "cmdContinue", "cmdExit", "cmdAlignPlot"})
                .remove('|');
        for (const auto& [kind, a, b, colour, pen, text, font] : drawn.items)
            states +=
                kind == Kind::Dot ? "" : QString(" %1,%2 %3,%4 pen %5").arg(a.x).arg(a.y).arg(b.x).arg(b.y).arg(pen);
        states += QString(" %1 dots").arg(drawn.of(Kind::Dot).size());
        drawn.items.clear();
        return states;
    }
    QLabel* label(int n) { return window->findChild<QLabel*>(QString("Label%1").arg(n)); }
    QLineEdit* tube() { return box("txtTubeName"); }

private slots:
    void init() { reset(); }
    void cleanup() { window.reset(); }

    void adjustOpens() {
        openAdjust();
        // clang-format off
        for (const auto& [name, label, caption, help, labelTop, top] : {
                 std::tuple{"Kvb", "Label2", "Kvb", "Command10", 128.0f, 380.0f}, {"Ex", "Label3", "Exponent", "Command11", 890, 1145},
                 {"Mu", "Label1", "mu", "Command12", 1650, 1910}, {"Kg1", "Label11", "Kg1", "Command13", 2417, 2670},
                 {"Kp", "Label12", "Kp", "Command14", 3180, 3435}}) {
            const QString p = name, field = box("txt" + p)->text();
            CheckLayout(*view, {{label, caption, 6910, labelTop, 3167, 360}, {"cmd" + p + "Down", "Down", 6910, top, 900, 360},
                                {"txt" + p, field, 7800, top, 1200, 360}, {"cmd" + p + "Up", "Up", 9000, top, 900, 360}, {help, "H", 10300, top, 360, 360}});
        }
        CheckLayout(*view, {
            {"cmdPlotRefresh", "Plot / refresh", 6900, 5000, 2000, 360}, {"cmdExamine", "Examine", 9200, 5000, 2240, 360},
            {"cmdSaveFile", "Save this design", 9200, 5500, 2240, 360}, {"cmdSubcircuit", "See subcircuit", 9200, 6000, 2240, 360},
            {"cmdExit", "Exit", 9200, 7000, 2240, 360}, {"Label13", "Plate dissipation", 120, 5850, 2076, 360},
            {"txtDissipation", "", 2300, 5850, 1100, 0}, {"Label4", "Fullscale - X-axis", 4000, 5850, 2680, 360},
            {"txtPlateVoltageFullscale", " 250", 6790, 5850, 1200, 0}, {"Label6", " volts", 8000, 5850, 985, 360},
            {"Label5", "Fullscale - Y-axis", 4000, 6360, 2680, 360}, {"txtPlateCurrentFullscale", " 0.005", 6790, 6360, 1200, 0},
            {"Label7", " amps", 8000, 6360, 985, 360}, {"Label8", "Grid voltage - most postitive", 3390, 7120, 3290, 360},
            {"txtGridVoltageMostPos", " 0", 6790, 7120, 1200, 0}, {"Label10", "Grid voltage - most negative", 3390, 7630, 3290, 360},
            {"txtGridVoltageMostNeg", "-10", 6790, 7630, 1200, 0}, {"Label9", "Grid voltage - stepsize", 3390, 8140, 3290, 360},
            {"txtGridVoltageStep", " 1", 6790, 8140, 1200, 0}});
        // clang-format on
        QCOMPARE(adjustState(), " 1.4| 0|-10| 1| 1060| 600| 300| 100| 250| 0.005||0|");
        QCOMPARE(shown({"Command10", "Command11", "Command12", "Command13", "Command14"}), "0|0|0|0|0");
        press("cmdPlotRefresh");
        QVERIFY(adjustState().endsWith("|1|plot"));
        for (const char* name : {"cmdSubcircuit", "cmdExamine", "cmdSaveFile", "cmdPlotRefresh", "cmdExit", "Command10",
                                 "Command11", "Command12", "Command13", "Command14", "cmdKvbDown", "cmdKvbUp", "cmdExDown",
                                 "cmdExUp", "cmdMuDown", "cmdMuUp", "cmdKg1Down", "cmdKg1Up", "cmdKpDown", "cmdKpUp"})
            QVERIFY2(window->findChild<QPushButton*>(name)->isEnabled(), name);
    }

    // A refused value in each field: its rule's message, the value written back, the focus,
    // no curves. Values are stored as read, up to the first refused one; suffixes count.
    void adjustValidates() {
        openAdjust();
        // clang-format off
        const std::tuple<const char*, const char*, const char*, const char*> kRefused[] = {
            {"txtEx", "0.99", " 0.99", "The value of the exponent"}, {"txtGridVoltageMostPos", "+1001", " 1001", "Most positive"},
            {"txtGridVoltageMostNeg", "1", " 1", "Most negative"}, {"txtGridVoltageStep", "0.09", " 0.09", "The grid voltage step"},
            {"txtKg1", "0", " 0", "The value for Kg1"}, {"txtKp", "10001", " 10001", "The value for Kp"}, {"txtKvb", "0", " 0", "The value for Kvb"},
            {"txtMu", "0.5", " 0.5", "The value for Mu"}, {"txtPlateVoltageFullscale", "abc", " 0", "The value for Plate voltage"},
            {"txtPlateCurrentFullscale", "0.5m", " 0.0005", "The value for Plate current"}};
        // clang-format on
        const QStringList sample = adjustState().split('|');
        for (std::size_t row = 0; row < std::size(kRefused); ++row) {
            const auto [name, typed, written, message] = kRefused[row];
            openAdjust();
            type(name, typed);
            press("cmdPlotRefresh");
            QStringList expected = sample.mid(0, 11) << "1";
            expected[int(row)] = written;
            const QString state = adjustState();
            QVERIFY2(state.startsWith(expected.join('|') + "|" + message) && state.endsWith("|picture"),
                     qPrintable(state));
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
        }
        type("txtPlateCurrentFullscale", "2m");
        type("txtMu", "0");
        press("cmdPlotRefresh");
        QVERIFY(design.PlateCurrentFullscale == 0.0005f && design.Mu == 0 && adjustState().endsWith("100000|picture"));
        type("txtDissipation", "0.2");
        type("txtMu", "100");
        press("cmdPlotRefresh");
        QVERIFY(design.PlateCurrentFullscale == 0.002f && design.Dissipation == 0.2f &&
                adjustState().endsWith("|0.2|1|plot + red"));
    }

    // Up and Down step the stored Single by their factor; a suffix ends the number read.
    void adjustSteps() {
        openAdjust();
        // clang-format off
        const std::tuple<const char*, int, const char*> kSteps[] = {
            {"cmdKvbUp", 3, " 399.3"}, {"cmdKvbDown", 1, " 272.7273"}, {"cmdExUp", 1, " 1.414"}, {"cmdExDown", 1, " 1.386139"},
            {"cmdMuUp", 1, " 101"}, {"cmdMuDown", 2, " 98.02961"}, {"cmdKg1Up", 1, " 1070.6"}, {"cmdKg1Down", 1, " 1049.505"},
            {"cmdKpUp", 1, " 618"}, {"cmdKpDown", 1, " 582.5243"}};
        // clang-format on
        for (const auto& [name, presses, stepped] : kSteps) {
            openAdjust();
            for (int i = 0; i < presses; ++i)
                press(name);
            QCOMPARE(box(QString(name).replace("cmd", "txt").remove("Up").remove("Down"))->text(), stepped);
            QVERIFY(adjustState().endsWith("|0|plot"));
        }
        type("txtKp", "1.5k");
        press("cmdKpUp");
        QCOMPARE(design.Kp, 1.545f);
        type("txtKvb", "3.4E38");
        press("cmdKvbUp");
        QVERIFY(adjustState().contains("|3.4E38| 100| 250| 0.005||0|The value for Kvb is beyond") && design.Kvb == 300);
    }

    // Every write of a field, typed or from the program, disables "See subcircuit" until
    // the next "Plot / refresh", even a refused value written back unchanged; Enter on a
    // focused button presses it.
    void adjustSeeSubcircuitNeedsAFreshPlot() {
        openAdjust();
        press("cmdPlotRefresh");
        QTest::keyClicks(box("txtMu"), "1");
        QVERIFY(adjustState().endsWith("|0|plot"));
        QTest::keyClick(window->findChild<QPushButton*>("cmdPlotRefresh"), Qt::Key_Return);
        QVERIFY(adjustState().endsWith("|1|plot"));
        QTest::keyClick(window->findChild<QPushButton*>("cmdKvbUp"), Qt::Key_Enter);
        QVERIFY(design.Kvb == 330 && adjustState().endsWith("|0|plot"));
        type("txtEx", " 0");
        press("cmdPlotRefresh");
        QVERIFY(adjustState().contains("|1|The value of the exponent"));
        press("Command11");
        QVERIFY(adjustState().contains("|0|The value of the exponent"));
    }

    void adjustSaves() {
        openAdjust();
        const std::string file = services->path("saved.VXF");
        services->fileAnswers = {file, std::nullopt, services->path("none/x.VXF")};
        press("cmdSaveFile");
        QCOMPARE(services->lastDialog(), "Save Valvix design file|Valvix files (*.VXF)|*.VXF|");
        DesignState back;
        QVERIFY(ReadDesignFile(file, back).ok && ValuesOf(back) == ValuesOf(design) && design.SaveFileName == file);
        QFile::remove(QString::fromStdString(file));
        press("cmdSaveFile");
        QVERIFY(services->dialogs.at(1).proposedName == file && !QFile::exists(QString::fromStdString(file)));
        press("cmdSaveFile");
        QVERIFY(services->beeps == 1 && adjustState().endsWith("|0|The Valvix file was not written correctly.|"));
    }

    // The five "H" buttons open their help windows modally: caption, size, the bold text in
    // its place (its length and CRC-16 as qChecksum gives them for the text as described),
    // "Exit" closing it; then the plot is redrawn.
    void adjustHelpWindows() {
        openAdjust();
        // clang-format off
        const std::tuple<const char*, const char*, QSize, QRect, const char*, QRect, int, int> kHelps[] = {
            {"Command10", "Valvix - Help: Kvb", {505, 279}, {32, 32, 441, 177}, "cmdExit", {392, 224, 81, 25}, 204, 51800},
            {"Command11", "Valvix - Help: Exponent", {505, 277}, {32, 40, 441, 153}, "Command1", {392, 224, 81, 25}, 290, 8438},
            {"Command12", "Form1", {505, 279}, {40, 32, 433, 177}, "Command1", {392, 224, 81, 25}, 260, 33159},
            {"Command13", "Form1", {497, 279}, {40, 32, 425, 177}, "Command1", {384, 224, 81, 25}, 199, 38739},
            {"Command14", "Form1", {513, 245}, {32, 24, 433, 153}, "Command1", {384, 192, 81, 25}, 155, 21543}};
        // clang-format on
        QSignalSpy exits(static_cast<frmAdjust*>(window.get()), &frmAdjust::exitRequested);
        press("cmdPlotRefresh");
        for (const auto& row : kHelps) {
            services->onModal = [&](QDialog& help) {
                const auto& [button, caption, size, textAt, exitName, exitAt, length, crc] = row;
                help.show();
                const auto* text = help.findChild<QLabel*>("Label1");
                auto* exit = help.findChild<QPushButton*>(exitName);
                QVERIFY(help.windowTitle() == caption && help.size() == size && text->geometry() == textAt &&
                        exit->geometry() == exitAt);
                QVERIFY(text->text().size() == length && qChecksum(text->text().toUtf8()) == crc && text->wordWrap());
                QVERIFY(QFontInfo(text->font()).bold() && QFontInfo(text->font()).pointSizeF() == 9.75 &&
                        QFontInfo(exit->font()).bold());
                QTest::mouseClick(exit, Qt::LeftButton);
                QVERIFY(!help.isVisible() && exit->text() == "Exit");
            };
            press(std::get<0>(row));
            QVERIFY(services->modalWindows.back() == std::get<1>(row) && adjustState().endsWith("plot"));
        }
        press("cmdExit");
        QCOMPARE(exits.size(), 1);
    }

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
        QVERIFY(design.ExamineSettingsKept == 1 && design.LabelGridVoltages == 1 && design.ExamineAmpsStep == 0.001f);
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
                design.ExamineVoltsStep == 12.5f);
        drawn.items.clear();
        press("optGridVoltageNo");
        QVERIFY(design.LabelGridVoltages == 0 && drawn.of(Kind::FilledRectangle).empty() && drawn.items.size() > 1000);
        press("optGridVoltageYes");
        QVERIFY(design.LabelGridVoltages == 1 && !drawn.of(Kind::FilledRectangle).empty());
        press("optGridVoltageNo");
        type("Text1", "200");
        box("Text3")->setText("4m");
        press("cmdExit");
        QVERIFY(!window->isVisible() && design.ExamineVoltsFullscale == 200 && design.ExamineAmpsFullscale == 0.004f);
        design.PlateVoltageFullscale = 500;
        openExamine();
        QCOMPARE(box("Text1")->text(), "200 ");
        QCOMPARE(design.LabelGridVoltages, 1);
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

    void initializeOpens() {
        open<frmInitialize>();
        // clang-format off
        CheckLayout(*view, {
            {"cmdAlignPlot", "Align plot and refresh", 7030, 890, 2485, 360}, {"Command2", "YT", 8000, 1400, 500, 390},
            {"Command3", "YT", 8000, 1780, 500, 390}, {"Command1", "XL", 7030, 2160, 500, 390},
            {"Command4", "XL", 7515, 2160, 500, 390}, {"Command7", "XR", 8484, 2160, 500, 390},
            {"Command8", "XR", 8970, 2160, 500, 390}, {"Command5", "YB", 8000, 2544, 500, 390},
            {"Command6", "YB", 8000, 2926, 500, 390}, {"cmdGetOldDesign", "Get old design", 4000, 5500, 2100, 390},
            {"cmdGetGraphic", "Get graphic", 4000, 6000, 2100, 390}, {"cmdContinue", "Continue", 7030, 6500, 2100, 390},
            {"cmdExit", "Exit", 7030, 7000, 2100, 390}});
        // clang-format on
        QVERIFY(window->windowTitle() == "Valvix - Initialize" && initializeState() == "000000001001h 0 dots");
        press("cmdGetOldDesign");
        QVERIFY(window->windowTitle() == "Initialize - " && initializeState() == "000000001001h 0 dots" &&
                services->messages.empty());
        QCOMPARE(services->lastDialog(), "Get Valvix file|Valvix files (*.VXF)|*.VXF|");
    }

    // A chosen design is read; cancelling later reads the same file again. The picture
    // fills the chart area, the frame goes over it (1 pixel wide), then the curves; the
    // next frame takes the pen of the last curve, -10 V.
    void initializeGetsTheDesignThenThePicture() {
        open<frmInitialize>();
        const std::string file = services->writeDesign(SampleDesign());
        services->fileAnswers = {file, std::nullopt, services->writePicture()};
        press("cmdGetOldDesign");
        QVERIFY(window->windowTitle() == QString::fromStdString("Initialize - " + file) &&
                initializeState() == "000000001101h 0 dots");
        QCOMPARE(ValuesOf(design), ValuesOf(SampleDesign()));
        design.Xleft = 0;
        press("cmdGetOldDesign");
        QVERIFY(services->lastDialog().endsWith(QString::fromStdString(file)) && design.Xleft == 600);
        press("cmdGetGraphic");
        QCOMPARE(services->lastDialog(),
                 "Import curve graphic|Tube curve graphic (*.JPG,*.GIF,*.BMP) | *.JPG;*.GIF;*.BMP|");
        QCOMPARE(initializeState(), "1111111111111 360,30 6060,3830 pen 1 600,300 6600,4800 pen 1 10792 dots");
        press("cmdAlignPlot");
        QCOMPARE(initializeState(), "1111111111111 360,30 6060,3830 pen 2 600,300 6600,4800 pen 2 10792 dots");
        QVERIFY(drawn.items.empty() && services->messages.empty());
    }

    // Each alignment button moves one edge 15 units, repaints the picture and redraws the
    // frame, not the curves.
    void initializeNudges() {
        open<frmInitialize>();
        getDesignAndPicture(SampleDesign(), services->writePicture());
        initializeState();
        // clang-format off
        for (const auto& [name, frame] : {std::pair{"Command1", "585,300 6600,4800"}, {"Command4", "600,300 6600,4800"},
                 {"Command7", "600,300 6585,4800"}, {"Command8", "600,300 6600,4800"}, {"Command2", "600,285 6600,4800"},
                 {"Command3", "600,300 6600,4800"}, {"Command5", "600,300 6600,4785"}, {"Command6", "600,300 6600,4800"}}) {
            // clang-format on
            press(name);
            QCOMPARE(initializeState(), QString("1111111111111 360,30 6060,3830 pen 2 %1 pen 2 0 dots").arg(frame));
        }
        for (int i = 0; i < 4; ++i)
            press("Command4");
        QCOMPARE(design.Xleft, 660.0f);
    }

    void initializeFailures() {
        open<frmInitialize>();
        services->fileAnswers = {services->path("none.VXF")};
        press("cmdGetOldDesign");
        QCOMPARE(services->messages.at(0),
                 "The chosen file (" + services->path("none.VXF") + ") was not read correctly.");
        QVERIFY(services->beeps == 1 && initializeState() == "000000001001h 0 dots");
        const std::string picture =
            "We did not retrieve a tube-curve graphic.\r\nPlease select correctly-sized graphic file.\r\nSee the "
            "instruction manual, Appendix B, page 127,\r\n'Graphics requirements' (400 px wide by 300 tall).";
        for (const bool cancel : {true, false}) {
            reset();
            open<frmInitialize>();
            getDesignAndPicture(SampleDesign(), cancel ? std::nullopt : std::optional(services->path("no.jpg")));
            QCOMPARE(services->messages, std::vector{picture});
            QCOMPARE(initializeState(),
                     (cancel ? "000000001101h" : "0000000011011") + QString(" 360,30 6060,3830 pen 1 0 dots"));
        }
        press("cmdAlignPlot");
        QCOMPARE(services->messages.size(), std::size_t(2));
        // A design that cannot give curves is named, once, and the window goes on.
        reset();
        open<frmInitialize>();
        DesignState bad = SampleDesign();
        bad.Mu = 0;
        getDesignAndPicture(bad, services->writePicture());
        QVERIFY(services->messages.size() == 1 && initializeState().startsWith("1111111111111"));
    }

    void subcircuitShowsTheSubcircuit() {
        open<frmShowSubcircuit>();
        QVERIFY(window->windowTitle() == "Valvix - Subcircuit / schematic" && window->size() == QSize(611, 348));
        QCOMPARE(tube()->text().toStdString() + design.MuText + design.TubeName, "TubeName100TubeName");
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
        QVERIFY(!window->isVisible() && design.TubeName == "a much longer tube name");
        open<frmShowSubcircuit>();
        QVERIFY(tube()->text() == "TubeName" && design.TubeName == "TubeName");
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
            const std::string written = circuit ? SubcircuitText(design, "12AX7") : SchematicText(design, "12AX7");
            QFile out(QString::fromStdString(services->path("out")));
            QVERIFY(out.open(QIODevice::ReadOnly) && out.readAll().toStdString() == written);
            QCOMPARE(circuit ? design.CircuitFileName : design.SchematicFileName, services->path("out"));
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

QTEST_MAIN(tst_Windows)
#include "tst_Windows.moc"
