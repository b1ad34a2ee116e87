#include "support/WindowDriver.h"
#include "windows/frmAdjust.h"

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;

// The Adjust window: its controls, refused values, steps, saving and help windows.
class tst_frmAdjust final : public QObject, WindowDriver {
    Q_OBJECT
    void openAdjust() {
        reset();
        open<frmAdjust>();
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
        for (const char* name :
             {"cmdSubcircuit", "cmdExamine", "cmdSaveFile", "cmdPlotRefresh", "cmdExit",   "Command10", "Command11",
              "Command12",     "Command13",  "Command14",   "cmdKvbDown",     "cmdKvbUp",  "cmdExDown", "cmdExUp",
              "cmdMuDown",     "cmdMuUp",    "cmdKg1Down",  "cmdKg1Up",       "cmdKpDown", "cmdKpUp"})
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
        Design back;
        QVERIFY(ReadDesignFile(file, back).ok && ValuesOf(back) == ValuesOf(design) && design.SaveFileName == file);
        QFile::remove(QString::fromStdString(file));
        press("cmdSaveFile");
        QVERIFY(services->dialogs.at(1).proposedName == file && !QFile::exists(QString::fromStdString(file)));
        press("cmdSaveFile");
        QVERIFY(services->beeps == 1 && adjustState().endsWith("|0|The Valvix file was not written correctly.|"));
    }

    // The plate dissipation saved with a design comes back into its field and is saved
    // again; a file without its line leaves the field empty and the dissipation as it was.
    void adjustKeepsTheDissipation() {
        openAdjust();
        type("txtDissipation", "5");
        press("cmdPlotRefresh");
        const std::string file = services->path("5W.VXF");
        services->fileAnswers = {file, file};
        press("cmdSaveFile");
        QFile saved(QString::fromStdString(file));
        for (const bool withLine : {true, false}) {
            Design read = {};
            read.GraphicFileName = design.GraphicFileName;
            QVERIFY(ReadDesignFile(file, read).ok); // as "Get old design" reads it
            design = read;
            open<frmAdjust>();
            QVERIFY(box("txtDissipation")->text() == (withLine ? " 5" : "") && design.Dissipation == 5 * withLine);
            press("cmdSaveFile");
            QVERIFY(saved.open(QIODevice::ReadOnly));
            const QByteArray text = saved.readAll().replace("Plate dissipation: 5\r\n", "");
            QVERIFY(withLine == (text.size() < saved.size()));
            saved.close();
            QVERIFY(saved.open(QIODevice::WriteOnly) && saved.write(text) == text.size());
            saved.close();
        }
    }

    // Exit, or closing the window, with changes never saved asks first: Save saves as "Save
    // this design" does (a cancelled or failed save keeps the window), Discard leaves, Cancel
    // stays. Unchanged since the design was read or saved, it leaves without asking.
    void adjustAsksBeforeLosingChanges() {
        using C = UnsavedChoice;
        // clang-format off
        const struct { const char* change; std::vector<C> answers; std::optional<QString> saveAs; int asked; bool close, left; } rows[] = {
            {"", {}, {}, 0, false, true}, {"", {}, {}, 0, true, true}, {"up", {C::Cancel}, {}, 1, false, false},
            {"up", {C::Discard}, {}, 1, false, true}, {"up", {C::Save}, "new.VXF", 1, false, true},
            {"up", {C::Save}, {}, 1, false, false}, {"up", {C::Save}, "none/x.VXF", 1, false, false},
            {"up, save", {}, "new.VXF", 0, false, true}, {"up", {C::Cancel}, {}, 1, true, false},
            {"up", {C::Discard}, {}, 1, true, true}, {"unnamed", {C::Cancel}, {}, 1, false, false}};
        // clang-format on
        for (const auto& row : rows) {
            reset();
            const QString change = row.change;
            if (change != "unnamed")
                design.DesignFileName = services->writeDesign(design);
            open<frmAdjust>();
            if (change.startsWith("up"))
                press("cmdMuUp");
            const std::string saveAs = row.saveAs ? services->path(*row.saveAs) : "";
            services->fileAnswers = {row.saveAs ? std::optional(saveAs) : std::nullopt};
            if (change.endsWith("save"))
                press("cmdSaveFile");
            services->saveAnswers = {row.answers.begin(), row.answers.end()};
            QSignalSpy exits(static_cast<frmAdjust*>(window.get()), &frmAdjust::exitRequested);
            if (row.close)
                window->close();
            else
                press("cmdExit");
            QCOMPARE(int(services->saveQuestions.size()), row.asked);
            QCOMPARE(row.close ? !window->isVisible() : exits.size() == 1, row.left);
            Design back;
            const bool saved = ReadDesignFile(saveAs, back).ok && back.Mu == 101.0f;
            QCOMPARE(saved, row.left && row.saveAs.has_value());
            QCOMPARE(services->beeps, int(row.saveAs == "none/x.VXF"));
            QVERIFY(services->dialogs.empty() ||
                    services->lastDialog() == "Save Valvix design file|Valvix files (*.VXF)|*.VXF|");
        }
        QCOMPARE(services->saveQuestions.back(),
                 "This design has changes that were not saved. Save them before leaving?");
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
};

QTEST_MAIN(tst_frmAdjust)
#include "tst_frmAdjust.moc"
