#pragma once

#include "export/SimulatorCheck.h"
#include "export/SweepTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace valvix {

// The plate-cathode resistor both exported models carry besides the modelled current;
// its share Vp / 1 GOhm is taken off the simulated plate current before comparing.
inline constexpr double kPlateCathodeOhms = 1e9;

// How one model's simulated curves compare with the program's.
struct ModelDifference {
    CheckedModel model = CheckedModel::CircuitFile;
    // The largest |simulated - computed| plate current, in percent of the full-scale
    // current, over the points where at least one of the two lies within full scale
    // (on the chart), and where it occurs.
    double worstPercent = 0;
    float atGridVoltage = 0;
    float atPlateVoltage = 0;
    int compared = 0;
    int leftOut = 0;                   // points where the program's own equation overflows
    std::vector<SweepPoint> simulated; // the resistor's share already taken off
};

// Compares simulated points with PlateCurrent of the model at the same voltages.
ModelDifference CompareWithModel(CheckedModel model, const std::vector<SweepPoint>& points,
                                 const TriodeParameters& parameters, float ampsFullscale);

struct CheckReport {
    std::string failure; // empty when every run gave results; else the message to show
    std::vector<ModelDifference> models;
    double ngspiceSeconds = 0; // the longest run

    // The largest of the models' differences.
    double worstPercent() const;
};

// Reads the outcome of the plan's job: a plain message when the job could not run, when
// ngspice ended badly, printed an error or left no readable results (with ngspice's last
// lines), else each model's comparison.
CheckReport EvaluateCheck(const CheckPlan& plan, const SimulatorJobOutcome& outcome);

// One line for a model, such as ".lib in stock ngspice: largest difference 0.012 % of
// full-scale current, at grid voltage -2 V and plate voltage 150 V".
std::string DifferenceLine(const ModelDifference& difference);

// The last count lines of what ngspice printed that hold more than blanks, without its
// progress lines, each cut to 120 characters.
std::string LastLines(std::string_view log, std::size_t count);

} // namespace valvix
