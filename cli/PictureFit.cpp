// valvix-cli fit without --design: each chart is read from its picture alone (plot box,
// lean, axis numbers, curve labels) and fitted from no start. One picture gives a design
// file; several, with --lib, one ngspice library with a subcircuit for each chart.

#include "cli/ChartFit.h"
#include "cli/Commands.h"
#include "cli/FileProblems.h"

#include "export/NgspiceModel.h"
#include "fit/FitReport.h"
#include "platform/DesktopServices.h"
#include "read/NewDesign.h"
#include "read/TextReader.h"
#include "state/DesignFile.h"
#include "state/SafeFile.h"

#include <filesystem>
#include <ostream>
#include <set>

namespace valvix::cli {

namespace {

// A chart read and fitted, or why not.
struct ChartOutcome {
    Design design;
    fit::FitOutcome fit;
    std::string problem;
};

ChartOutcome ReadAndFitPicture(const std::string& path, read::TextReader& reader) {
    ChartOutcome outcome;
    std::shared_ptr<const Picture> picture;
    if (std::string problem = ReadCommandPicture(path, outcome.design, picture); !problem.empty()) {
        outcome.problem = std::move(problem);
        return outcome;
    }
    if (picture->grey().empty()) {
        outcome.problem = "the picture gives no pixels to read.";
        return outcome;
    }
    read::NewDesign made =
        read::ReadAndFit(picture->grey(), picture->ink(), reader, outcome.design);
    outcome.design = made.design;
    outcome.fit = std::move(made.fit);
    if (!made.problem.empty()) {
        outcome.problem = ForCommandLine(made.problem);
    }
    return outcome;
}

// The subcircuit's name from the picture's file name, made unique in the library.
std::string TubeNameOf(const std::string& path, std::set<std::string>& taken) {
    const std::string stem = std::filesystem::path(path).stem().string();
    std::string name = NgspiceModelName(stem);
    for (int copy = 2; taken.contains(name); ++copy) {
        name = NgspiceModelName(stem) + "_" + std::to_string(copy);
    }
    taken.insert(name);
    return name;
}

void AppendModel(std::string& library, const Design& design, const std::string& name) {
    if (!library.empty()) {
        library += "\r\n";
    }
    for (const std::string& line : NgspiceModelLines(design, name)) {
        library += line + "\r\n";
    }
}

} // namespace

int RunFitFromPicture(const std::string& picture, const std::string& out, bool verbose,
                      std::ostream& stdOut, std::ostream& err) {
    read::TextReader reader;
    const ChartOutcome outcome = ReadAndFitPicture(picture, reader);
    if (!outcome.problem.empty()) {
        err << "fit: " << picture << ": " << outcome.problem << '\n';
        return kFailed;
    }
    if (verbose) {
        TellFitted(outcome.fit, err);
    }
    if (const FileResult written =
            WriteDesignFile(out, outcome.design, DesktopServices().dateTimeText());
        !written.ok) {
        err << "fit: " << OutputProblem("--out", out, written.message) << '\n';
        return kFailed;
    }
    ReportFit(outcome.fit, stdOut);
    return kDone;
}

int RunFitLibrary(const std::vector<std::string>& pictures, const std::string& libraryPath,
                  std::ostream& out, std::ostream& err) {
    read::TextReader reader;
    std::string library;
    std::set<std::string> names;
    std::size_t fitted = 0;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::string& path = pictures[i];
        err << "[" << i + 1 << "/" << pictures.size() << "] " << path << ": ";
        const ChartOutcome outcome = ReadAndFitPicture(path, reader);
        if (!outcome.problem.empty()) {
            err << "skipped: " << outcome.problem << '\n';
            continue;
        }
        const std::string name = TubeNameOf(path, names);
        AppendModel(library, outcome.design, name);
        ++fitted;
        err << "fitted as " << name << ": " << fit::DescribeFit(outcome.fit) << '\n';
    }
    if (fitted == 0) {
        err << "fit: no chart could be read and fitted, so " << libraryPath
            << " was not written.\n";
        return kFailed;
    }
    if (!WriteFileReplacing(libraryPath, library)) {
        err << "fit: " << OutputProblem("--lib", libraryPath, kNgspiceModelWriteFailure) << '\n';
        return kFailed;
    }
    out << "Wrote " << fitted << " of " << pictures.size() << " charts to " << libraryPath << ".\n";
    return fitted == pictures.size() ? kDone : kFailed;
}

} // namespace valvix::cli
