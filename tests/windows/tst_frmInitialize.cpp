#include "support/WindowDriver.h"
#include "windows/frmInitialize.h"

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;

// The Initialize window: the design and picture chosen, the eight nudge buttons, failures.
class tst_frmInitialize final : public QObject, WindowDriver {
    Q_OBJECT
    // Chooses a design and a picture in the dialogs (nothing: cancel) and shows the picture.
    void getDesignAndPicture(const Design& chosen, const std::optional<std::string>& picture) {
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

private slots:
    void init() { reset(); }
    void cleanup() { window.reset(); }

    void initializeOpens() {
        open<frmInitialize>();
        // clang-format off
        CheckLayout(*view, {
            {"cmdAlignPlot", "Align plot and refresh", 7030, 890, 2485, 360}, {"Command2", "YT", 8000, 1400, 500, 390},
            {"Command3", "YT", 8000, 1780, 500, 390}, {"Command1", "XL", 7030, 2160, 500, 390},
            {"Command4", "XL", 7515, 2160, 500, 390}, {"Command7", "XR", 8484, 2160, 500, 390},
            {"Command8", "XR", 8970, 2160, 500, 390}, {"Command5", "YB", 8000, 2544, 500, 390},
            {"Command6", "YB", 8000, 2926, 500, 390}, {"cmdNewDesignFromPicture", "New design from picture", 1300, 5500, 2600, 390},
            {"cmdGetOldDesign", "Get old design", 4000, 5500, 2100, 390},
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
        Design bad = SampleDesign();
        bad.Mu = 0;
        getDesignAndPicture(bad, services->writePicture());
        QVERIFY(services->messages.size() == 1 && initializeState().startsWith("1111111111111"));
    }

    // "New design from picture" on the shipped examples (the 12AX7's small print read with its lost minus signs and
    // points mended: "15" stands for -1.5 there; the 6SN7's title word above the box set aside), a
    // picture without a plot box, and with Tesseract finding no data (tessdata): what was read goes into the frame
    // (within 0.5 % of the example design's), the scales and grid voltages as one step of the history, marked on the
    // picture; Continue fits at once only while all of it was read and is in force.
    void initializeReadsANewDesign_data() {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QByteArray>("tessdata");
        QTest::addColumn<QList<float>>("read"); // frame, full scales, grid voltages
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("fitAtOnce");
        const QList<float> typed{600, 6600, 300, 4800, 250, 0.005f, 0, -10, 1};
        QTest::newRow("6SN7")
            << "example-6SN7" << QByteArray() << QList<float>{1103.85f, 5521.35f, 315, 3355, 500, 0.03f, 0, -20, 2}
            << "0 100 200 300 400 500 30 25 20 15 10 5 0 0 -2 -4 -6 -8 -10 -12 -14 -16 -18 -20 1 set aside"
            << "from 11 curve labels; 1 text set aside.\nContinue fits the model to the chart at once." << true;
        QTest::newRow("12AX7")
            << "example-12AX7" << QByteArray()
            << QList<float>{1108.125f, 5525.625f, 315, 3355, 300, 0.004f, 0, -4, 0.5f}
            << "0 50 100 150 200 250 300 4 3.5 3 2.5 2 1.5 1 0.5 0 0 -0.5 -1.5 -2 -2.5 -3 -3.5 -4 4 set aside"
            << "from 8 curve labels; 4 texts set aside.\nContinue fits the model to the chart at once." << true;
        QTest::newRow("no box") << "" << QByteArray() << typed << ""
                                << "\nWhat was not read is left for you to type." << false;
        QTest::newRow("no reader") << "example-6SN7" << QByteArray("-") << typed << ""
                                   << "line the frame up and type the values by hand." << false;
    }
    void initializeReadsANewDesign() {
        QFETCH(QString, example);
        QFETCH(QByteArray, tessdata);
        QFETCH(QList<float>, read);
        QFETCH(QString, marks);
        QFETCH(QString, said);
        QFETCH(bool, fitAtOnce);
        design = DesignOf({600, 6600, 300, 4800, 250, 0.005f, 0, -10, 1}); // no model parameters
        const Values before = ValuesOf(design);
        open<frmInitialize>();
        const QTemporaryDir noData;
        if (!tessdata.isEmpty())
            qputenv("TESSDATA_PREFIX", noData.path().toUtf8());
        const std::string picture = example.isEmpty()
                                        ? services->writePicture()
                                        : QString(VALVIX_EXAMPLES_DIR "/" + example + ".jpg").toStdString();
        services->fileAnswers = {picture};
        QSignalSpy continued(window.get(), SIGNAL(continueRequested(bool)));
        press("cmdNewDesignFromPicture");
        qunsetenv("TESSDATA_PREFIX");
        // The wait cursor shows while the picture is read, and only then.
        QCOMPARE(services->waitCursorAtLastLoad, tessdata.isEmpty());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        const Values got = ValuesOf(design); // the model parameters stay none
        for (std::size_t i = 0; i < got.size(); ++i) {
            const float expected = i < std::size_t(read.size()) ? read[qsizetype(i)] : 0;
            QVERIFY2(std::abs(got[i] - expected) <= 0.005f * std::abs(expected), qPrintable(QString::number(got[i])));
        }
        QStringList texts;
        for (const auto& item : drawn.of(Kind::Text))
            texts << QString::fromStdString(item.text);
        QCOMPARE(texts.join(' '), marks);
        QCOMPARE(graphic.CurveGraphicTilt.fileName,
                 marks.isEmpty() ? "" : picture); // shown turned level by the box's lean
        QVERIFY2(shown({"lblReading"}).endsWith(said), qPrintable(shown({"lblReading"})));
        press("cmdContinue");
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier); // takes the whole reading back
        QVERIFY(ValuesOf(design) == before && graphic.CurveGraphicTilt.degrees == 0);
        press("cmdContinue");
        QVERIFY(continued.size() == 2 && continued[0][0] == fitAtOnce && continued[1][0] == false);
    }
};

QTEST_MAIN(tst_frmInitialize)
#include "tst_frmInitialize.moc"
