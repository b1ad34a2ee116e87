#include "cli/Commands.h"

#include "app/Version.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace valvix::cli {

namespace {

constexpr std::array kCommands{
    Command{"fit",
            "valvix-cli fit --design IN.VXF [--picture CHART.jpg] [--points POINTS.csv] "
            "--out OUT.VXF",
            RunFit},
    Command{"export", "valvix-cli export --design IN.VXF --name NAME [--ckt F] [--asc F] [--lib F]",
            RunExport},
    Command{"check", "valvix-cli check --design IN.VXF [--max-percent P]", RunCheck},
};

void PrintHelp(std::ostream& out) {
    out << "Usage:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.usage << '\n';
    }
    out << "  valvix-cli --version\n";
}

} // namespace

std::span<const Command> Commands() {
    return kCommands;
}

bool Options::has(std::string_view name) const {
    return values.contains(name) || std::ranges::find(flags, name) != flags.end();
}

std::optional<std::string> Options::value(std::string_view name) const {
    const auto found = values.find(name);
    if (found == values.end()) {
        return std::nullopt;
    }
    return found->second;
}

Options ParseOptions(const Arguments& arguments, std::span<const std::string_view> valueOptions,
                     std::span<const std::string_view> flagOptions) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (options.has(word)) {
            options.error = "The option " + word + " is given twice.";
            return options;
        }
        if (std::ranges::find(flagOptions, word) != flagOptions.end()) {
            options.flags.push_back(word);
        } else if (std::ranges::find(valueOptions, word) == valueOptions.end()) {
            options.error = "Unknown option or argument: " + word;
            return options;
        } else if (i + 1 >= arguments.size()) {
            options.error = "The option " + word + " needs a value.";
            return options;
        } else {
            options.values.emplace(word, arguments[++i]);
        }
    }
    return options;
}

int RunCommandLine(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        PrintHelp(arguments.empty() ? err : out);
        return arguments.empty() ? 2 : 0;
    }
    if (arguments[0] == "--version") {
        out << "valvix-cli " << kVersion << '\n';
        return 0;
    }
    for (const Command& command : kCommands) {
        if (command.name == arguments[0]) {
            return command.run(Arguments(arguments.begin() + 1, arguments.end()), out, err);
        }
    }
    err << "Unknown command: " << arguments[0] << '\n';
    PrintHelp(err);
    return 2;
}

} // namespace valvix::cli
