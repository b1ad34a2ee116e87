#pragma once

#include "export/SimulatorJob.h"

#include <functional>

namespace valvix {

// Told once, on the user-interface thread, how a simulator job ended.
using SimulatorDone = std::function<void(const SimulatorJobOutcome&)>;

// A simulator job running in the background. Cancelling it, or destroying it, stops
// every ngspice it started and removes its folder; its done is then never called.
class SimulatorTask {
public:
    virtual ~SimulatorTask() = default;
    virtual void cancel() = 0;
};

} // namespace valvix
