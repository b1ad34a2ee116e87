#pragma once

#include "state/Design.h"

#include <string>
#include <string_view>

namespace valvix {

// Outcome of a file operation: on failure, the message the window shows (after the
// beep). The core itself shows nothing.
struct FileResult {
    bool ok = true;
    std::string message;
};

inline constexpr std::string_view kDesignWriteFailure =
    "The Valvix file was not written correctly.";
std::string DesignReadFailure(std::string_view path);

// The 18 CRLF-terminated lines of a design file saved under savedPath at dateTime.
std::string DesignFileText(const Design& design, std::string_view savedPath,
                           std::string_view dateTime);

// Writes the design to path, replacing any file there only once the whole text is
// written. An empty path writes nothing and succeeds.
FileResult WriteDesignFile(const std::string& path, const Design& design,
                           std::string_view dateTime);

// Reads values by position from a design file's bytes into the design: the first two
// are skipped, then the frame, full scales, grid voltages, the five model parameters and
// the plate dissipation. A short text ends quietly, the values it lacks left as they
// were. Returns false when a value does not fit a Single; the values read before it stay
// assigned.
bool ReadDesignText(std::string_view text, Design& design);

// Reads a design file. An empty path reads nothing and succeeds.
FileResult ReadDesignFile(const std::string& path, Design& design);

} // namespace valvix
