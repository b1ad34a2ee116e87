#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace valvix {

// What valvix's command line asks for.
struct CommandLine {
    enum class Action { OpenWindows, PrintVersion, PrintHelp, Refuse };
    Action action = Action::OpenWindows;
    std::string designPath; // a design to open at start; empty: the start window first
    std::string problem;    // why the line was refused
};

// Reads the arguments after the program's name: "--version", "--help" (or "-h"), or
// at most one design file, given after "--" when its name starts with "-". Qt's own
// options (such as -platform offscreen) are passed over: the application object takes
// them.
CommandLine ParseCommandLine(std::span<const std::string> arguments);

// Prints what a line that opens no window asks for: the version, the help, or the
// problem and the help. Returns the exit status.
int PrintAnswer(const CommandLine& line, std::ostream& out, std::ostream& err);

// Why the readable file at path cannot be a design: it holds a NUL byte, which no text
// does, or no line of it after the first starts with the label "Xleft:" (the frame's
// first value, on the third line of every saved design). Empty when it may be a design,
// and for a file that cannot be read at all, which the design reader reports itself.
std::string NotADesignProblem(const std::string& path);

} // namespace valvix
