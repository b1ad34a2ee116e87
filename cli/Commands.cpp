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
            "--out OUT.VXF [-v]\n"
            "       valvix-cli fit --picture CHART.jpg --out OUT.VXF [-v]\n"
            "       valvix-cli fit --picture CHART.jpg [--picture CHART2.jpg ...] --lib OUT.lib",
            "Fits the design's five model parameters (Mu, Ex, Kg1, Kp, Kvb) to the printed\n"
            "curves of a chart picture, to a points file or to both, starting from the\n"
            "design's own values, and writes the fitted design. Without --design, the\n"
            "chart is first read from its picture alone (as read does) and fitted from no\n"
            "start. With --lib, every chart given is read and fitted and the library gets\n"
            "one subcircuit for each, named from its file name; progress goes to standard\n"
            "error, and a chart that fails is reported and skipped (exit status 1).",
            "  --design IN.VXF      the design: its plot frame, full scales, grid voltages\n"
            "                       and the parameters to start from\n"
            "  --picture CHART.jpg  the chart picture, lined up by the design's plot frame\n"
            "  --points POINTS.csv  measured or digitized points (Vp,Vg,Ip (mA))\n"
            "  --out OUT.VXF        where to write the fitted design\n"
            "  --lib OUT.lib        where to write an ngspice library of the charts\n"
            "  -v                   also tell on standard error what was found and how\n"
            "                       closely each curve is fitted\n",
            RunFit},
    Command{"digitize",
            "valvix-cli digitize --design IN.VXF --picture CHART.jpg --out POINTS.csv [-v]",
            "Finds the printed curves of a chart picture inside the design's plot frame,\n"
            "gives each the grid voltage of the computed curve it follows (the design's\n"
            "parameters only help to tell them apart) and writes their points, with their\n"
            "grid voltages, as a points file that fit --points reads.",
            "  --design IN.VXF      the design: its plot frame, full scales, grid voltages\n"
            "                       and parameters\n"
            "  --picture CHART.jpg  the chart picture\n"
            "  --out POINTS.csv     where to write the points (Vp,Vg,Ip (mA))\n"
            "  -v                   also tell on standard error what was found\n",
            RunDigitize},
    Command{"read", "valvix-cli read --picture CHART.jpg --out OUT.VXF",
            "Reads a design from a chart picture alone: finds the plot box and how far the\n"
            "picture leans, reads the axis numbers and sets the full scales at the box's\n"
            "edges, reads the curve labels for the grid voltages, and writes the design\n"
            "with a line on each value read and on what is left to type in. Exits with\n"
            "status 1 when a value could not be read; the design is written all the same.",
            "  --picture CHART.jpg  the chart picture, cropped to the chart\n"
            "  --out OUT.VXF        where to write the design\n",
            RunRead},
    Command{"export",
            "valvix-cli export --design IN.VXF --name NAME [--ckt FILE] [--asc FILE] "
            "[--lib FILE]",
            "Writes the design's model under a tube name as the files named (at least one).",
            "  --design IN.VXF      the design\n"
            "  --name NAME          the tube name the files give the model\n"
            "  --ckt FILE           a SPICE subcircuit\n"
            "  --asc FILE           a test schematic that plots the curve family\n"
            "  --lib FILE           a model in ngspice's own syntax\n",
            RunExport},
    Command{"check", "valvix-cli check --design IN.VXF [--max-percent P]",
            "Runs the design's exported models through ngspice over its curve family and\n"
            "prints, per file, the largest difference from the computed curves in percent\n"
            "of full-scale current. Exits with status 1 when one exceeds P.",
            "  --design IN.VXF      the design\n"
            "  --max-percent P      the largest difference allowed, in percent (0.5 when\n"
            "                       not given)\n",
            RunCheck},
};

constexpr std::string_view kHelpOption = "  -h, --help           print this help and exit\n";

void PrintHelp(std::ostream& out) {
    out << "Usage:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.usage << '\n';
    }
    out << "  valvix-cli --version\n"
           "  valvix-cli --help\n"
           "Run valvix-cli COMMAND --help for what a command does and its options.\n";
}

void PrintCommandHelp(const Command& command, std::ostream& out) {
    out << "Usage: " << command.usage << "\n\n"
        << command.summary << "\n\nOptions:\n"
        << command.options << kHelpOption;
}

bool AsksForHelp(const Arguments& arguments) {
    return std::ranges::any_of(
        arguments, [](const std::string& word) { return word == "--help" || word == "-h"; });
}

// An option where its value should stand: the value is missing.
bool IsOption(std::string_view word, std::span<const std::string_view> flagOptions) {
    return word.starts_with("--") || std::ranges::find(flagOptions, word) != flagOptions.end();
}

} // namespace

std::string FilesProblem(const Options& options, std::span<const std::string_view> files,
                         std::string_view missing) {
    if (!options.error.empty()) {
        return options.error;
    }
    for (const std::string_view name : files) {
        if (options.value(name).value_or("").empty()) {
            return std::string(missing);
        }
    }
    return {};
}

void PrintMisuse(std::string_view command, std::string_view problem, std::ostream& err) {
    err << command << ": " << problem << '\n';
    for (const Command& known : kCommands) {
        if (known.name == command) {
            err << "Usage: " << known.usage << '\n';
        }
    }
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
        } else if (i + 1 >= arguments.size() || IsOption(arguments[i + 1], flagOptions)) {
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
        return arguments.empty() ? kMisused : kDone;
    }
    if (arguments[0] == "--version") {
        out << "valvix-cli " << kVersion << '\n';
        return kDone;
    }
    for (const Command& command : kCommands) {
        if (command.name == arguments[0]) {
            const Arguments rest(arguments.begin() + 1, arguments.end());
            if (AsksForHelp(rest)) {
                PrintCommandHelp(command, out);
                return kDone;
            }
            return command.run(rest, out, err);
        }
    }
    err << "Unknown command: " << arguments[0] << '\n';
    PrintHelp(err);
    return kMisused;
}

} // namespace valvix::cli
