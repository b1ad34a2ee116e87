// valvix-cli export and check: the Subcircuit window's files and its check in ngspice,
// without a window.

#include "cli/Commands.h"

#include "export/CheckReport.h"
#include "export/NgspiceModel.h"
#include "export/Schematic.h"
#include "export/SimulatorCheck.h"
#include "export/Subcircuit.h"
#include "platform/NgspiceTask.h"
#include "state/AdjustValidation.h"
#include "state/DesignFile.h"

#include <array>
#include <charconv>
#include <cmath>
#include <ostream>

namespace valvix::cli {

namespace {

// The check's threshold when --max-percent is not given.
constexpr double kDefaultMaxPercent = 0.5;

struct Loaded {
    DesignState design;
    std::string error;
};

Loaded LoadDesign(const Options& options) {
    Loaded loaded;
    const std::optional<std::string> path = options.value("--design");
    if (!path) {
        loaded.error = "--design IN.VXF is required.";
        return loaded;
    }
    const FileResult read = ReadDesignFile(*path, loaded.design);
    if (!read.ok) {
        loaded.error = read.message;
    }
    return loaded;
}

// The model parameters are checked as the Adjust window checks them.
std::string ParameterProblem(const DesignState& design) {
    for (const std::size_t row : {1, 5, 6, 7, 8}) {
        if (!AdjustValueAccepted(row, design)) {
            return std::string(AdjustRules()[row].message);
        }
    }
    return {};
}

// The design to export and its name, or why not.
Loaded LoadExported(const Options& options) {
    if (!options.error.empty()) {
        return {{}, options.error};
    }
    Loaded loaded = LoadDesign(options);
    if (loaded.error.empty() && !options.has("--name")) {
        loaded.error = "--name NAME is required.";
    }
    if (loaded.error.empty() && !options.has("--ckt") && !options.has("--asc") &&
        !options.has("--lib")) {
        loaded.error = "Name at least one file to write: --ckt, --asc or --lib.";
    }
    if (loaded.error.empty()) {
        loaded.error = ParameterProblem(loaded.design);
    }
    return loaded;
}

std::optional<double> ReadPercent(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace

int RunExport(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    constexpr std::array<std::string_view, 5> kValueOptions{"--design", "--name", "--ckt", "--asc",
                                                            "--lib"};
    const Options options = ParseOptions(arguments, kValueOptions);
    Loaded loaded = LoadExported(options);
    if (!loaded.error.empty()) {
        err << "export: " << loaded.error << '\n';
        return 2;
    }
    DesignState& design = loaded.design;
    design.TubeName = *options.value("--name");
    using Writer = FileResult (*)(const std::string&, DesignState&);
    const std::array<std::pair<std::string_view, Writer>, 3> writers{
        {{"--ckt", WriteCircuitFile},
         {"--asc", WritePlotterFile},
         {"--lib", WriteNgspiceModelFile}}};
    for (const auto& [option, write] : writers) {
        if (const std::optional<std::string> path = options.value(option)) {
            const FileResult written = write(*path, design);
            if (!written.ok) {
                err << "export: " << written.message << ": " << *path << '\n';
                return 1;
            }
            out << "Wrote " << *path << '\n';
        }
    }
    return 0;
}

int RunCheck(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    constexpr std::array<std::string_view, 2> kValueOptions{"--design", "--max-percent"};
    const Options options = ParseOptions(arguments, kValueOptions);
    Loaded loaded = LoadDesign(options);
    std::optional<double> maxPercent = kDefaultMaxPercent;
    if (const std::optional<std::string> text = options.value("--max-percent")) {
        maxPercent = ReadPercent(*text);
    }
    const std::string problem = !options.error.empty() ? options.error
                                : !maxPercent ? "--max-percent needs a number of 0 or more."
                                              : loaded.error;
    if (!problem.empty()) {
        err << "check: " << problem << '\n';
        return 2;
    }
    const CheckPlanResult planned = MakeCheckPlan(loaded.design);
    if (!planned.plan) {
        err << "check: " << planned.error << '\n';
        return 2;
    }
    const CheckReport report = EvaluateCheck(*planned.plan, RunJobAndWait(planned.plan->job));
    if (!report.failure.empty()) {
        err << "check: " << report.failure << '\n';
        return 2;
    }
    for (const ModelDifference& model : report.models) {
        out << DifferenceLine(model) << '\n';
    }
    return report.worstPercent() > *maxPercent ? 1 : 0;
}

} // namespace valvix::cli
