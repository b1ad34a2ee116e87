#include "app/CommandLine.h"
#include "app/WindowFlow.h"
#include "support/ScriptedServices.h"

#include <QtTest>

#include <fstream>
#include <sstream>

using namespace valvix;
using Action = CommandLine::Action;
using Words = std::vector<std::string>;

namespace {

// Arguments, what they ask for, and the design path or the problem.
const std::tuple<Words, Action, std::string> kParseRows[] = {
    {{}, Action::OpenWindows, ""},
    {{"--style=fusion", "-platform", "offscreen", "a.VXF"}, Action::OpenWindows, "a.VXF"},
    {{"--", "--version"}, Action::OpenWindows, "--version"},
    {{"a.VXF", "--version"}, Action::PrintVersion, ""},
    {{"-h"}, Action::PrintHelp, ""},
    {{"--bogus", "--version"}, Action::Refuse, "Unknown option: --bogus"},
    {{"a.VXF", "b"}, Action::Refuse, "Valvix opens one design at a time."},
    {{""}, Action::Refuse, "An empty file name was given."},
};

// Files given at start: their bytes ("/" makes a folder, "" no file), how the message
// ends ("" for none) and the Xleft then read.
const QByteArray kDesign = "Filename: a\r\n1/2/2024\r\nXleft: 465\r\n";
const std::tuple<QByteArray, std::string, float> kFileRows[] = {
    {kDesign, "", 465},
    {"F: a\r1\rXleft: 7\r", "", 7},
    {kDesign + '\0', ") is not a Valvix design file.", 0},
    {"Xleft 1\nXleft= 2", ") is not a Valvix design file.", 0},
    {"", ") was not read correctly.", 0},
    {"/", ") was not read correctly.", 0},
};

} // namespace

class tst_CommandLine final : public QObject {
    Q_OBJECT

    Design design;
    test::ScriptedServices services;
    QTemporaryDir folder;
    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }
    WindowFlow flow{design, services};

    QWidget* button(const char* name) { return flow.current()->findChild<QWidget*>(name); }

private slots:
    void parse() {
        for (const auto& [words, action, result] : kParseRows) {
            const CommandLine line = ParseCommandLine(words);
            QCOMPARE(line.action, action);
            QCOMPARE(action == Action::Refuse ? line.problem : line.designPath, result);
        }
        std::ostringstream out, err;
        QCOMPARE(PrintAnswer({Action::PrintVersion, {}, {}}, out, err), 0);
        QCOMPARE(out.str(), std::string("valvix 1.04\n"));
        QCOMPARE(PrintAnswer({Action::Refuse, {}, "Bad."}, out, err), 2);
    }

    // Given at start (here by a relative name), a design is read as if chosen with "Get
    // old design"; the picture dialog then opens in its folder.
    void filesGivenAtStart() {
        QDir::setCurrent(folder.path());
        int row = 0;
        for (const auto& [bytes, message, xleft] : kFileRows) {
            const std::string name = std::to_string(++row), path = this->path(name.c_str());
            QVERIFY(bytes == "/" ? QDir().mkpath(QString::fromStdString(path))
                                 : bytes.isEmpty() || std::ofstream(path) << bytes.toStdString());
            design = Design{};
            services.messages.clear(), services.dialogs.clear(), services.beeps = 0;
            flow.startWithDesign(name);
            const bool read = message.empty();
            QCOMPARE(design.Xleft, xleft);
            QCOMPARE(button("cmdGetGraphic")->isEnabled(), read);
            QCOMPARE(services.beeps, read ? 0 : 1);
            QCOMPARE(services.messages,
                     read ? Words{} : Words{std::string("The chosen file (").append(path).append(message)});
            QTest::mouseClick(button("cmdGetGraphic"), Qt::LeftButton);
            QTest::mouseClick(button("cmdGetOldDesign"), Qt::LeftButton);
            const std::string remembered = message.ends_with("design file.") ? "" : path;
            QCOMPARE(services.dialogs.front().proposedName, read ? folder.path().toStdString() + "/" : remembered);
            QCOMPARE(services.dialogs.back().proposedName, remembered);
            delete flow.current();
        }
    }
};

QTEST_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
