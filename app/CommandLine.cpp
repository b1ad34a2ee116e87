#include "app/CommandLine.h"

#include "app/Version.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <ostream>
#include <string_view>

namespace valvix {

namespace {

constexpr const char* kHelp =
    "Usage:\n"
    "  valvix [DESIGN.VXF]   start Valvix, with the design read if one is given\n"
    "  valvix --version      print the version\n"
    "  valvix --help         print this help\n";

// Qt's own options, which the application object takes off the line: those that take
// the next word as their value, and those that stand alone. Either may also be written
// with two dashes, and with "=value" attached.
constexpr std::array<std::string_view, 12> kQtOptionsWithValue{
    "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowicon",        "-qwindowtitle",  "-session",
    "-display",         "-geometry",           "-style",         "-stylesheet"};
constexpr std::array<std::string_view, 6> kQtFlags{"-reverse", "-widgetcount", "-nograb",
                                                   "-dograb",  "-sync",        "-qmljsdebugger"};

// How many words a Qt option starting at word takes: 0 when it is none of Qt's.
std::size_t QtOptionWords(std::string_view word) {
    if (word.starts_with("--")) {
        word.remove_prefix(1);
    }
    const std::string_view name = word.substr(0, word.find('='));
    const bool withValue =
        std::ranges::find(kQtOptionsWithValue, name) != kQtOptionsWithValue.end();
    if (!withValue && std::ranges::find(kQtFlags, name) == kQtFlags.end()) {
        return 0;
    }
    return withValue && name.size() == word.size() ? 2 : 1;
}

// The part of a file looked at: a design's value lines stand at its start.
constexpr qint64 kLookedAtBytes = qint64{1} << 20;

CommandLine Refused(std::string problem) {
    return {CommandLine::Action::Refuse, {}, std::move(problem)};
}

} // namespace

CommandLine ParseCommandLine(std::span<const std::string> arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        const bool option = !optionsEnded && word.size() > 1 && word.front() == '-';
        if (option && QtOptionWords(word) > 0) {
            i += QtOptionWords(word) - 1; // left to the application object
        } else if (option && word == "--") {
            optionsEnded = true;
        } else if (option && word == "--version") {
            return {CommandLine::Action::PrintVersion, {}, {}};
        } else if (option && (word == "--help" || word == "-h")) {
            return {CommandLine::Action::PrintHelp, {}, {}};
        } else if (option) {
            return Refused("Unknown option: " + word);
        } else if (word.empty()) {
            return Refused("An empty file name was given.");
        } else if (!line.designPath.empty()) {
            return Refused("Valvix opens one design at a time.");
        } else {
            line.designPath = word;
        }
    }
    return line;
}

int PrintAnswer(const CommandLine& line, std::ostream& out, std::ostream& err) {
    switch (line.action) {
    case CommandLine::Action::PrintVersion:
        out << "valvix " << kVersion << '\n';
        return 0;
    case CommandLine::Action::PrintHelp:
        out << kHelp;
        return 0;
    case CommandLine::Action::Refuse:
        err << line.problem << '\n' << kHelp;
        return 2;
    case CommandLine::Action::OpenWindows:
        break;
    }
    return 0;
}

std::string NotADesignProblem(const std::string& path) {
    // Only regular files are opened: reading a FIFO would wait for a writer.
    QFile file(QString::fromStdString(path));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray text = file.read(kLookedAtBytes);
    if (!text.contains('\0') && (text.contains("\nXleft:") || text.contains("\rXleft:"))) {
        return {};
    }
    return "The chosen file (" + path + ") is not a Valvix design file.";
}

} // namespace valvix
