#pragma once

#include "platform/SimulatorTask.h"

#include <memory>
#include <utility>
#include <vector>

namespace valvix::test {

// Simulator jobs for window tests: started jobs are kept; the test ends the running one.
struct ScriptedSimulator {
    std::vector<SimulatorJob> jobs;
    int cancels = 0;
    SimulatorDone done; // set while a job runs

    void finish(const SimulatorJobOutcome& outcome) { std::exchange(done, nullptr)(outcome); }
    std::unique_ptr<SimulatorTask> start(const SimulatorJob& job, SimulatorDone whenDone) {
        struct Task final : SimulatorTask {
            ScriptedSimulator& s;
            explicit Task(ScriptedSimulator& owner) : s(owner) {}
            ~Task() override { Task::cancel(); }
            void cancel() override { s.cancels += std::exchange(s.done, nullptr) ? 1 : 0; }
        };
        jobs.push_back(job);
        done = std::move(whenDone);
        return std::make_unique<Task>(*this);
    }
};

} // namespace valvix::test
