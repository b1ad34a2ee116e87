#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace valvix::cli {

using Arguments = std::vector<std::string>;

// One sub-command of valvix-cli: its name, a usage line, what it does and what each of
// its options means (for its --help), and what runs it. A runner gets the arguments
// after the sub-command's name, writes its results to out and any complaint to err, and
// returns the program's exit status.
struct Command {
    std::string_view name;
    std::string_view usage;
    std::string_view summary;
    std::string_view options;
    int (*run)(const Arguments& arguments, std::ostream& out, std::ostream& err);
};

// Runs the whole command line (without the program's own name): a sub-command,
// "--version", or "--help". "--help" or "-h" anywhere after a sub-command's name prints
// that command's help instead of running it. Returns the exit status.
int RunCommandLine(const Arguments& arguments, std::ostream& out, std::ostream& err);

// Exit statuses shared by the sub-commands.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kMisused = 2;

// A wrong command line: "NAME: problem", then the command's usage line, on err.
void PrintMisuse(std::string_view command, std::string_view problem, std::ostream& err);

// Options of the form "--name value" or bare "--flag". Every option must be one of
// valueOptions or flagOptions, no option may be given twice, a value may not be another
// option, and nothing else may stand on the line; otherwise error says what is wrong.
struct Options {
    std::map<std::string, std::string, std::less<>> values;
    std::vector<std::string> flags;
    std::string error;

    bool has(std::string_view name) const;
    std::optional<std::string> value(std::string_view name) const;
};
Options ParseOptions(const Arguments& arguments, std::span<const std::string_view> valueOptions,
                     std::span<const std::string_view> flagOptions = {});

// What is wrong with a parsed command line whose value options must all name files: the
// parser's own error, or `missing` when one of them is absent or empty; empty when none.
std::string FilesProblem(const Options& options, std::span<const std::string_view> files,
                         std::string_view missing);

// The sub-commands.
int RunFit(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunDigitize(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunRead(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunExport(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunCheck(const Arguments& arguments, std::ostream& out, std::ostream& err);

} // namespace valvix::cli
