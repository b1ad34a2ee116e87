#pragma once

#include "export/SimulatorJob.h"
#include "model/Triode.h"
#include "state/Design.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace valvix {

// The check in ngspice: the exported model is run over the design's curve family in a
// small test circuit, and the simulated plate currents are compared with the program's.
// This part plans the run; CheckReport.h reads its results.

// The largest family the check runs; more curves would take ngspice too long.
inline constexpr int kMostCheckedCurves = 100;
// The whole job's time limit.
inline constexpr int kCheckTimeLimitMs = 30000;

// Plate-voltage full scale, full-scale current and grid voltages of the checked family.
struct CheckScales {
    float voltsFullscale = 0;
    float ampsFullscale = 0;
    float gridMostPos = 0;
    float gridMostNeg = 0;
    float gridStep = 0;
};

// The Examine window's scales and grid voltages once it has kept its own settings
// (ExamineSettingsKept), else the design's own, as the Adjust window shows them.
CheckScales CheckScalesOf(const Design& design, const ExamineSettings& examine);

// The tube name as the netlists the program runs carry it: ASCII letters, digits and '_'
// are kept, every other byte becomes '_', and an empty name becomes "TUBE". So no name
// can start a new line, a comment or a command in them.
std::string SimulatorSafeName(std::string_view tubeName);

// The two exported files the check runs: the .CKT as written (in ngspice's PSpice mode,
// which its Pwrs needs) and the ngspice model (.lib) in a stock ngspice.
enum class CheckedModel { CircuitFile, NgspiceModel };

// ".CKT" or ".lib".
std::string_view CheckedFileName(CheckedModel model);

// The test circuit for one model: its file included, the tube between plate, grid and
// ground, and a DC sweep of the plate from 0 to full scale in thousandths of it for each
// grid voltage from the most positive down in the grid step, written as a table by
// ngspice's wrdata. The numbers are the shortest texts of the Singles.
std::string CheckNetlist(CheckedModel model, const CheckScales& scales, std::string_view safeName);

struct CheckPlan {
    TriodeParameters parameters;
    CheckScales scales;
    std::vector<CheckedModel> models; // one per run of the job, in its order
    SimulatorJob job;
};

struct CheckPlanResult {
    std::optional<CheckPlan> plan;
    std::string error; // why there is no plan
};

// Plans the check of the design's model under the tube name. Refuses, with a message,
// model parameters outside the Adjust window's ranges, full scales that are not
// positive, and a family without curves or with more than kMostCheckedCurves.
CheckPlanResult MakeCheckPlan(const Design& design, const ExamineSettings& examine,
                              std::string_view tubeName);

// The number of curves the family walk draws for these scales, counted up to
// kMostCheckedCurves + 1 (also for a range too large to walk); 0 for no curve.
int CountCheckedCurves(const CheckScales& scales);

} // namespace valvix
