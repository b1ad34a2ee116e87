#include "state/AdjustValidation.h"
#include "state/EngineeringText.h"
#include "state/NumberText.h"
#include "support/RecordingSurface.h"
#include "support/SampleDesign.h"
#include "support/ScriptedServices.h"
#include "windows/frmAdjust.h"

#include <QLineEdit>
#include <QPushButton>

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;

class tst_frmAdjust final : public QObject {
    Q_OBJECT
    DesignState design;
    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<frmAdjust> window;
    RecordingSurface drawn;

    void open(const DesignState& start) {
        window.reset();
        services = std::make_unique<ScriptedServices>();
        design = start;
        design.GraphicFileName = services->writePicture();
        window = std::make_unique<frmAdjust>(design, *services);
        window->view().canvas().setTap(&drawn);
        Show(*window);
        drawn.items.clear();
    }
    QLineEdit* field(const QString& name) { return window->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void press(const char* name) {
        const QPoint at = button(name)->geometry().center() * 15;
        ClickAt(window->view(), float(at.x()), float(at.y()));
    }
    void type(const QString& name, const QString& text) {
        field(name)->selectAll();
        QTest::keyClicks(field(name), text);
    }
    // A whole redraw since the last look: the picture, then the curves over it.
    bool plotted() {
        const auto& items = drawn.items;
        const bool whole =
            !items.empty() && items.front().kind == Kind::Picture && items.size() > 1000;
        drawn.items.clear();
        return whole;
    }
    bool seeSubcircuit() { return button("cmdSubcircuit")->isEnabled(); }

private slots:
    void init() { open(SampleDesign()); }
    void cleanup() { window.reset(); }

    void opens() {
        // clang-format off
        for (const auto& [name, label, caption, help, labelTop, top, value] : {
                 std::tuple{"Kvb", "Label2", "Kvb", "Command10", 128, 380, " 300"},
                 {"Ex", "Label3", "Exponent", "Command11", 890, 1145, " 1.4"}, {"Mu", "Label1", "mu", "Command12", 1650, 1910, " 100"},
                 {"Kg1", "Label11", "Kg1", "Command13", 2417, 2670, " 1060"}, {"Kp", "Label12", "Kp", "Command14", 3180, 3435, " 600"}}) {
            const QString p = name;
            const float y = float(top);
            CheckLayout(window->view(), {{label, caption, 6910, float(labelTop), 3167, 360}, {"cmd" + p + "Down", "Down", 6910, y, 900, 360},
                                         {"txt" + p, value, 7800, y, 1200, 360}, {"cmd" + p + "Up", "Up", 9000, y, 900, 360}, {help, "H", 10300, y, 360, 360}});
        }
        CheckLayout(window->view(), {
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
        QCOMPARE(window->windowTitle(), "Adjust - ");
        QVERIFY(services->messages.empty() && !seeSubcircuit());
        for (const char* name : {"Command10", "Command11", "Command12", "Command13", "Command14"})
            QVERIFY2(!button(name)->isEnabled(), name);
        press("cmdPlotRefresh");
        QVERIFY(plotted());
        for (QPushButton* b : window->findChildren<QPushButton*>())
            QVERIFY(b->isEnabled());
        DesignState named = SampleDesign();
        named.DesignFileName = "/x/a.VXF";
        open(named);
        QCOMPARE(window->windowTitle(), "Adjust - /x/a.VXF");
    }

    // A refused value in each field: its rule's message, the value written back, the
    // focus, no curves.
    void refusesEachField() {
        const std::pair<const char*, const char*> kRefused[] = {
            {"txtEx", "0.99"},
            {"txtGridVoltageMostPos", "+1001"},
            {"txtGridVoltageMostNeg", "1"},
            {"txtGridVoltageStep", "0.09"},
            {"txtKg1", "0"},
            {"txtKp", "10001"},
            {"txtKvb", "0"},
            {"txtMu", "0.5"},
            {"txtPlateVoltageFullscale", "abc"},
            {"txtPlateCurrentFullscale", "0.5m"}};
        for (std::size_t row = 0; row < std::size(kRefused); ++row) {
            const auto [name, text] = kRefused[row];
            init();
            type(name, text);
            press("cmdPlotRefresh");
            QCOMPARE(services->messages, std::vector{std::string(AdjustRules()[row + 1].message)});
            QCOMPARE(field(name)->text(),
                     QString::fromStdString(FormatPlainNumber(ParseEngineering(text))));
            QVERIFY(field(name)->hasFocus() && drawn.of(Kind::Dot).empty() &&
                    drawn.of(Kind::Picture).size() == 1);
        }
    }

    // Values are stored as they are read, up to the first refused one; suffixes count.
    void validatesInOrder() {
        type("txtMu", "0");
        type("txtEx", "0");
        type("txtPlateCurrentFullscale", "2m");
        press("cmdPlotRefresh");
        QVERIFY(services->messages.size() == 1 && design.Ex == 0 && design.Mu == 100);
        type("txtEx", "1.5");
        type("txtDissipation", "0.2");
        press("cmdPlotRefresh");
        QVERIFY(services->messages.size() == 2 && design.Mu == 0);
        type("txtMu", "100");
        press("cmdPlotRefresh");
        QVERIFY(design.PlateCurrentFullscale == 0.002f && design.Dissipation == 0.2f);
        QVERIFY(!drawn.of(Kind::Dot, kRed).empty() && plotted());
    }

    // Up and Down step the stored Single by their factor; a suffix ends the number read.
    void steps() {
        // clang-format off
        const std::tuple<const char*, int, const char*> kSteps[] = {
            {"cmdKvbUp", 3, " 399.3"}, {"cmdKvbDown", 1, " 272.7273"}, {"cmdExUp", 1, " 1.414"},
            {"cmdExDown", 1, " 1.386139"}, {"cmdMuUp", 1, " 101"}, {"cmdMuDown", 2, " 98.02961"},
            {"cmdKg1Up", 1, " 1070.6"}, {"cmdKg1Down", 1, " 1049.505"}, {"cmdKpUp", 1, " 618"}, {"cmdKpDown", 1, " 582.5243"}};
        // clang-format on
        for (const auto& [name, presses, text] : kSteps) {
            init();
            for (int i = 0; i < presses; ++i)
                press(name);
            QCOMPARE(field(QString(name).replace("cmd", "txt").remove("Up").remove("Down"))->text(),
                     QString(text));
            QVERIFY(plotted());
        }
        QCOMPARE(design.Kp, 582.5243f);
        type("txtKp", "1.5k");
        press("cmdKpUp");
        QCOMPARE(design.Kp, 1.545f);
        for (const char* text : {"1E39", "3.4E38"}) {
            type("txtKvb", text);
            press("cmdKvbUp");
            QVERIFY(field("txtKvb")->text() == text && design.Kvb == 300);
        }
        QCOMPARE(services->messages.size(), std::size_t(2));
        QVERIFY(services->messages.back().find("Kvb") != std::string::npos);
    }

    // Every write of a field, typed or from the program, disables "See subcircuit" until
    // the next "Plot / refresh", even a refused value written back unchanged.
    void seeSubcircuitNeedsAFreshPlot() {
        press("cmdPlotRefresh");
        QTest::keyClicks(field("txtMu"), "1");
        QVERIFY(!seeSubcircuit());
        press("cmdPlotRefresh");
        press("cmdKvbUp");
        QVERIFY(!seeSubcircuit());
        type("txtEx", " 0");
        press("cmdPlotRefresh");
        QVERIFY(seeSubcircuit());
        press("Command11");
        QCOMPARE(field("txtEx")->text(), " 0");
        QVERIFY(!seeSubcircuit());
    }

    void enterPressesAFocusedButton() {
        button("cmdPlotRefresh")->setFocus();
        QTest::keyClick(button("cmdPlotRefresh"), Qt::Key_Return);
        QVERIFY(seeSubcircuit());
        button("cmdKvbUp")->setFocus();
        QTest::keyClick(button("cmdKvbUp"), Qt::Key_Enter);
        QCOMPARE(design.Kvb, 330.0f);
    }

    void saves() {
        const std::string file = services->path("saved.VXF");
        services->fileAnswers = {file, std::nullopt, services->path("none/x.VXF")};
        press("cmdSaveFile");
        const FileDialogRequest& dialog = services->dialogs.at(0);
        QCOMPARE(dialog.title + "|" + dialog.filter + "|" + dialog.proposedName,
                 "Save Valvix design file|Valvix files (*.VXF)|*.VXF|");
        DesignState back;
        QVERIFY(ReadDesignFile(file, back).ok && ValuesOf(back) == ValuesOf(design) &&
                design.SaveFileName == file);
        QFile::remove(QString::fromStdString(file));
        press("cmdSaveFile");
        QVERIFY(services->dialogs.at(1).proposedName == file &&
                !QFile::exists(QString::fromStdString(file)));
        QVERIFY(services->messages.empty());
        press("cmdSaveFile");
        QCOMPARE(services->beeps, 1);
        QCOMPARE(services->messages,
                 std::vector<std::string>{"The Valvix file was not written correctly."});
    }

    void opensWindowsModallyThenRedraws() {
        QSignalSpy exits(window.get(), &frmAdjust::exitRequested);
        const auto titled = [](const char* title) {
            return [title](QWidget* parent) {
                auto made = std::make_unique<QDialog>(parent);
                made->setWindowTitle(title);
                return made;
            };
        };
        window->setExamineWindow(titled("examine"));
        window->setSubcircuitWindow(titled("subcircuit"));
        press("cmdPlotRefresh");
        for (const char* name : {"Command10", "Command11", "Command12", "Command13", "Command14",
                                 "cmdExamine", "cmdSubcircuit"}) {
            drawn.items.clear();
            press(name);
            QVERIFY(plotted());
        }
        QCOMPARE(services->modalWindows,
                 (std::vector<QString>{"Valvix - Help: Kvb", "Valvix - Help: Exponent", "Form1",
                                       "Form1", "Form1", "examine", "subcircuit"}));
        QCOMPARE(exits.size(), 0);
        press("cmdExit");
        QCOMPARE(exits.size(), 1);
    }

    void refusedAtLoadGetsTheFocusWhenShown() {
        DesignState start = SampleDesign();
        start.Ex = 0;
        window.reset();
        window = std::make_unique<frmAdjust>(start, *services);
        QCOMPARE(services->messages.back(), std::string(AdjustRules()[1].message));
        Show(*window);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(field("txtEx")->hasFocus());
    }
};

QTEST_MAIN(tst_frmAdjust)
#include "tst_frmAdjust.moc"
