#include "export/CheckReport.h"

#include "state/NumberText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <deque>

namespace valvix {

namespace {

constexpr std::size_t kLastLineCount = 6;

std::string Percent(double value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 3);
    return result.ec == std::errc() ? std::string(buffer.data(), result.ptr) : "more than 1e30";
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string_view ModelCaption(CheckedModel model) {
    return model == CheckedModel::CircuitFile ? ".CKT in ngspice's PSpice mode"
                                              : ".lib in stock ngspice";
}

// What went wrong with one run, or nothing.
std::string RunProblem(const SimulatorRunOutcome& run, SweepTable& table) {
    if (!run.normalExit) {
        return "ngspice stopped abnormally";
    }
    if (run.exitCode != 0) {
        return "ngspice ended with exit code " + std::to_string(run.exitCode);
    }
    if (Lower(run.log).find("error") != std::string::npos) {
        return "ngspice reported an error";
    }
    if (!run.result) {
        return "ngspice wrote no results";
    }
    table = ReadSweepTable(*run.result);
    if (!table.error.empty()) {
        return "ngspice's results could not be read (" + table.error + ")";
    }
    return {};
}

std::string JobProblem(const SimulatorJobOutcome& outcome) {
    switch (outcome.ending) {
    case JobEnding::NoFolder:
        return "The check could not write its files in the temporary folder " + outcome.detail +
               ".";
    case JobEnding::NotFound:
        return "ngspice was not found. Install ngspice (on Debian: apt-get install ngspice) "
               "and check again.";
    case JobEnding::TimedOut: {
        std::string text = "ngspice did not finish within " +
                           std::to_string(kCheckTimeLimitMs / 1000) + " s and was stopped.";
        for (const SimulatorRunOutcome& run : outcome.runs) {
            if (const std::string last = LastLines(run.log, kLastLineCount); !last.empty()) {
                text += " Its last lines:\n";
                return text + last;
            }
        }
        return text;
    }
    case JobEnding::Finished:
        break;
    }
    return {};
}

} // namespace

ModelDifference CompareWithModel(CheckedModel model, const std::vector<SweepPoint>& points,
                                 const TriodeParameters& parameters, float ampsFullscale) {
    ModelDifference difference;
    difference.model = model;
    difference.simulated.reserve(points.size());
    for (const SweepPoint& point : points) {
        const double simulated = point.plateCurrent - point.plateVoltage / kPlateCathodeOhms;
        difference.simulated.push_back({point.plateVoltage, point.gridVoltage, simulated});
        const float vp = static_cast<float>(point.plateVoltage);
        const float vg = static_cast<float>(point.gridVoltage);
        const PlatePoint computed = EvaluatePlatePoint(vp, vg, parameters);
        if (!computed.ok) {
            ++difference.leftOut;
            continue;
        }
        if (!(std::min<double>(simulated, computed.Ip) <= ampsFullscale)) {
            continue; // both above the chart
        }
        ++difference.compared;
        const double percent = std::abs(simulated - computed.Ip) / ampsFullscale * 100.0;
        if (percent > difference.worstPercent || difference.compared == 1) {
            difference.worstPercent = percent;
            difference.atGridVoltage = vg;
            difference.atPlateVoltage = vp;
        }
    }
    return difference;
}

double CheckReport::worstPercent() const {
    double worst = 0;
    for (const ModelDifference& model : models) {
        worst = std::max(worst, model.worstPercent);
    }
    return worst;
}

CheckReport EvaluateCheck(const CheckPlan& plan, const SimulatorJobOutcome& outcome) {
    CheckReport report;
    report.failure = JobProblem(outcome);
    if (!report.failure.empty()) {
        return report;
    }
    for (std::size_t i = 0; i < plan.models.size(); ++i) {
        const CheckedModel model = plan.models[i];
        const std::string file(CheckedFileName(model));
        if (i >= outcome.runs.size()) {
            report.failure = "ngspice did not run the " + file + ".";
            return report;
        }
        const SimulatorRunOutcome& run = outcome.runs[i];
        SweepTable table;
        if (const std::string problem = RunProblem(run, table); !problem.empty()) {
            report.failure = "ngspice failed on the " + file + ": ";
            report.failure += problem + ".";
            if (const std::string last = LastLines(run.log, kLastLineCount); !last.empty()) {
                report.failure += " Its last lines:\n" + last;
            }
            report.models.clear();
            return report;
        }
        report.models.push_back(
            CompareWithModel(model, table.points, plan.parameters, plan.scales.ampsFullscale));
        report.ngspiceSeconds = std::max(report.ngspiceSeconds, run.seconds);
    }
    return report;
}

std::string DifferenceLine(const ModelDifference& difference) {
    std::string line(ModelCaption(difference.model));
    if (difference.compared == 0) {
        return line + ": no simulated point lies within the full-scale current";
    }
    line += ": largest difference " + Percent(difference.worstPercent) +
            " % of full-scale current, at grid voltage " +
            FormatSingleGeneral(difference.atGridVoltage) + " V and plate voltage " +
            FormatSingleGeneral(difference.atPlateVoltage) + " V";
    if (difference.leftOut > 0) {
        line += " (" + std::to_string(difference.leftOut) +
                " points where the program's equation overflows left out)";
    }
    return line;
}

std::string LastLines(std::string_view log, std::size_t count) {
    std::deque<std::string> kept;
    std::size_t at = 0;
    while (at <= log.size()) {
        const std::size_t end = std::min(log.find_first_of("\r\n", at), log.size());
        std::string_view line = log.substr(at, end - at);
        at = end + 1;
        const bool blank = line.find_first_not_of(" \t") == std::string_view::npos;
        if (blank || line.find("Reference value") != std::string_view::npos) {
            continue;
        }
        kept.emplace_back(line.substr(0, 120));
        if (kept.size() > count) {
            kept.pop_front();
        }
    }
    std::string text;
    for (const std::string& line : kept) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

} // namespace valvix
