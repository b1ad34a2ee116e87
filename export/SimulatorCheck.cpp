#include "export/SimulatorCheck.h"

#include "export/NgspiceModel.h"
#include "export/Subcircuit.h"
#include "state/Single.h"
#include "state/ValueRules.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>

namespace valvix {

namespace {

// Shortest text that reads back as the same Single; never locale-dependent.
std::string Number(float value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

struct ModelFiles {
    CheckedModel model;
    std::string_view subcircuitFile;
    std::string_view netlistFile;
    std::string_view resultFile;
};

constexpr std::array<ModelFiles, 2> kModelFiles{{
    {CheckedModel::CircuitFile, "tube.ckt", "check-ckt.cir", "ckt.txt"},
    {CheckedModel::NgspiceModel, "tube.lib", "check-lib.cir", "lib.txt"},
}};

const ModelFiles& FilesOf(CheckedModel model) {
    return kModelFiles[model == CheckedModel::CircuitFile ? 0 : 1];
}

std::string ScalesProblem(const CheckScales& scales) {
    if (!(scales.voltsFullscale > 0) || !std::isfinite(scales.voltsFullscale)) {
        return "The plate voltage full scale must be above 0 for the check.";
    }
    if (!(scales.ampsFullscale > 0) || !std::isfinite(scales.ampsFullscale)) {
        return "The plate current full scale must be above 0 for the check.";
    }
    const int curves = CountCheckedCurves(scales);
    if (curves == 0) {
        return "The grid voltages give no curve to check.";
    }
    if (curves > kMostCheckedCurves) {
        return "The check runs at most " + std::to_string(kMostCheckedCurves) +
               " curves; make the grid voltage step larger.";
    }
    return {};
}

} // namespace

CheckScales CheckScalesOf(const Design& d, const ExamineSettings& examine) {
    if (examine.ExamineSettingsKept != 0) {
        return {examine.ExamineVoltsFullscale, examine.ExamineAmpsFullscale,
                examine.ExamineGridMostPos, examine.ExamineGridMostNeg, examine.ExamineGridStep};
    }
    return {d.PlateVoltageFullscale, d.PlateCurrentFullscale, d.GridVoltageMostPos,
            d.GridVoltageMostNeg, d.GridVoltageStep};
}

std::string SimulatorSafeName(std::string_view tubeName) {
    std::string safe;
    for (const char c : tubeName) {
        const bool kept =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        safe += kept ? c : '_';
    }
    return safe.empty() ? "TUBE" : safe;
}

std::string_view CheckedFileName(CheckedModel model) {
    return model == CheckedModel::CircuitFile ? ".CKT" : ".lib";
}

int CountCheckedCurves(const CheckScales& scales) {
    const CurveFamily family{scales.voltsFullscale, scales.gridMostPos, scales.gridMostNeg,
                             scales.gridStep};
    if (!FamilyIsWalkable(family)) {
        // A finite range with a positive step that the walk refuses is too large a one.
        const bool tooMany = std::isfinite(scales.gridMostPos) &&
                             std::isfinite(scales.gridMostNeg) && scales.gridStep > 0 &&
                             scales.gridMostPos >= scales.gridMostNeg;
        return tooMany ? kMostCheckedCurves + 1 : 0;
    }
    // The same Single steps as the family walk's inner loop.
    int curves = 0;
    float vg = scales.gridMostPos;
    while (vg >= scales.gridMostNeg && curves <= kMostCheckedCurves) {
        ++curves;
        const float next = ToSingle(static_cast<double>(vg) - scales.gridStep);
        if (next == vg) {
            break;
        }
        vg = next;
    }
    return curves;
}

std::string CheckNetlist(CheckedModel model, const CheckScales& scales, std::string_view safeName) {
    const ModelFiles& files = FilesOf(model);
    const std::string name(safeName);
    const float plateStep = ToSingle(static_cast<double>(scales.voltsFullscale) / 1000.0);
    return "* Valvix check of " + name + "\n.include " + std::string(files.subcircuitFile) +
           "\nX1 plate grid 0 " + name + "\nVplate plate 0 0\nVgrid grid 0 0\n.DC Vplate 0 " +
           Number(scales.voltsFullscale) + " " + Number(plateStep) + " Vgrid " +
           Number(scales.gridMostPos) + " " + Number(scales.gridMostNeg) + " " +
           Number(-scales.gridStep) +
           "\n.control\nset wr_singlescale\nset wr_vecnames\noption numdgt=9\nrun\nwrdata " +
           std::string(files.resultFile) + " -i(Vplate) v(grid) v(plate)\nquit\n.endc\n.end\n";
}

CheckPlanResult MakeCheckPlan(const Design& design, const ExamineSettings& examine,
                              std::string_view tubeName) {
    if (const ValueRule* refused = FirstRefused(design, IsModelParameter)) {
        return {std::nullopt, std::string(refused->message)};
    }
    CheckPlan plan{ParametersOf(design), CheckScalesOf(design, examine), {}, {}};
    if (std::string problem = ScalesProblem(plan.scales); !problem.empty()) {
        return {std::nullopt, std::move(problem)};
    }
    const std::string name = SimulatorSafeName(tubeName);
    for (const ModelFiles& files : kModelFiles) {
        const bool circuit = files.model == CheckedModel::CircuitFile;
        plan.models.push_back(files.model);
        plan.job.files.push_back(
            {std::string(files.subcircuitFile),
             circuit ? SubcircuitText(design, name) : NgspiceModelText(design, name)});
        plan.job.files.push_back(
            {std::string(files.netlistFile), CheckNetlist(files.model, plan.scales, name)});
        // -n keeps any .spiceinit of the user's out, so the .lib runs in a stock ngspice.
        std::vector<std::string> arguments{"-n"};
        if (circuit) {
            arguments.insert(arguments.end(), {"-D", "ngbehavior=ps"});
        }
        arguments.insert(arguments.end(), {"-b", std::string(files.netlistFile)});
        plan.job.runs.push_back({std::move(arguments), std::string(files.resultFile)});
    }
    plan.job.timeLimitMs = kCheckTimeLimitMs;
    return {std::move(plan), {}};
}

} // namespace valvix
