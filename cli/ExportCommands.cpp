// valvix-cli export and check: the Subcircuit window's files and its check in ngspice,
// without a window.

#include "cli/Commands.h"
#include "cli/FileProblems.h"

#include "export/CheckReport.h"
#include "export/NgspiceModel.h"
#include "export/Schematic.h"
#include "export/SimulatorCheck.h"
#include "export/Subcircuit.h"
#include "platform/NgspiceTask.h"
#include "state/DesignFile.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <ostream>

namespace valvix::cli {

namespace {

// The check's threshold when --max-percent is not given.
constexpr double kDefaultMaxPercent = 0.5;

struct Loaded {
    Design design;
    std::string error;
};

// The design named by --design, checked with the Adjust window's rules the filter keeps.
Loaded LoadDesign(const Options& options, RuleFilter checked) {
    Loaded loaded;
    const std::optional<std::string> path = options.value("--design");
    if (!path) {
        loaded.error = "--design IN.VXF is required.";
        return loaded;
    }
    loaded.error = ReadCommandDesign(*path, checked, loaded.design);
    return loaded;
}

// The design to export and its name, or why not.
Loaded LoadExported(const Options& options) {
    if (!options.error.empty()) {
        return {{}, options.error};
    }
    // Every export checks the model parameters.
    Loaded loaded = LoadDesign(options, IsModelParameter);
    if (loaded.error.empty() && !options.has("--name")) {
        loaded.error = "--name NAME is required.";
    }
    if (loaded.error.empty() && !options.has("--ckt") && !options.has("--asc") &&
        !options.has("--lib")) {
        loaded.error = "Name at least one file to write: --ckt, --asc or --lib.";
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

// Whether the largest difference is within the limit, told in both cases.
std::string Verdict(double worstPercent, double maxPercent) {
    char line[160];
    std::snprintf(line, sizeof line, "%s the limit of %g %%: the largest difference is %.3g %%.",
                  worstPercent > maxPercent ? "Over" : "Within", maxPercent, worstPercent);
    return line;
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
    const Design& design = loaded.design;
    const std::string tubeName = *options.value("--name");
    // The test schematic sweeps over the design's own family, as before the Examine
    // window has first opened.
    const ExamineSettings unopened;
    using Writer = std::function<FileResult(const std::string&)>;
    const std::array<std::pair<std::string_view, Writer>, 3> writers{
        {{"--ckt",
          [&](const std::string& path) { return WriteCircuitFile(path, design, tubeName); }},
         {"--asc",
          [&](const std::string& path) {
              return WritePlotterFile(path, design, unopened, tubeName);
          }},
         {"--lib",
          [&](const std::string& path) { return WriteNgspiceModelFile(path, design, tubeName); }}}};
    for (const auto& [option, write] : writers) {
        if (const std::optional<std::string> path = options.value(option)) {
            const FileResult written = write(*path);
            if (!written.ok) {
                err << "export: " << OutputProblem(option, *path, written.message) << '\n';
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
    // The check plan refuses parameters out of range itself, with its own words.
    Loaded loaded = LoadDesign(options, [](const ValueRule&) { return false; });
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
    const CheckPlanResult planned = MakeCheckPlan(loaded.design, ExamineSettings{}, {});
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
    out << Verdict(report.worstPercent(), *maxPercent) << '\n';
    return report.worstPercent() > *maxPercent ? 1 : 0;
}

} // namespace valvix::cli
