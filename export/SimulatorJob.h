#pragma once

#include <optional>
#include <string>
#include <vector>

namespace valvix {

// What a simulator check asks the platform to do: write some files into a private
// temporary folder, run ngspice there once per run (all runs at once), read back each
// run's result file, and remove the folder.
struct SimulatorFile {
    std::string name; // a plain file name, no folder
    std::string bytes;
};

struct SimulatorRunRequest {
    std::vector<std::string> arguments; // ngspice's arguments, the netlist's name last
    std::string resultFile;             // written by the run into the folder
};

struct SimulatorJob {
    std::vector<SimulatorFile> files;
    std::vector<SimulatorRunRequest> runs;
    int timeLimitMs = 30000; // for the whole job; then every run is stopped
};

// How the job ended.
enum class JobEnding {
    Finished, // every run ended by itself (each may still have failed)
    NoFolder, // the temporary folder or a file in it could not be written
    NotFound, // the ngspice program is not installed
    TimedOut, // the time limit passed; the runs were stopped
};

struct SimulatorRunOutcome {
    bool normalExit = false; // false when the run crashed or was stopped
    int exitCode = -1;
    std::string log;                   // what ngspice printed, its last part at most
    std::optional<std::string> result; // the result file, when the run left one
    double seconds = 0;                // from the start of ngspice to its end
};

struct SimulatorJobOutcome {
    JobEnding ending = JobEnding::Finished;
    std::string detail;                    // the folder for NoFolder, the program for NotFound
    std::vector<SimulatorRunOutcome> runs; // one per requested run, as far as they got
};

} // namespace valvix
