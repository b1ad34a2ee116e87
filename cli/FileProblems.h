#pragma once

// The files valvix-cli's options name, read or written, and what is said when one cannot
// be used: every message names the option, the file and the cause, as in
// "--design a.VXF: the file does not exist."

#include "state/Design.h"
#include "state/Picture.h"
#include "state/ValueRules.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace valvix::cli {

// Why the file an option names cannot be read: it does not exist, is a folder or no
// regular file, or may not be read. Empty for a regular file that can be opened.
std::string InputProblem(std::string_view option, const std::string& path);

// Reads the design file named by --design into the design and checks it with the Adjust
// window's rules that the filter keeps. Says what is wrong: an input problem, a file that is
// no design file (it holds a NUL byte, or has no "Xleft:" line and cannot be read or is
// refused), a number too large to hold, or a refused value (the rule's message). Empty
// when the design can be used.
std::string ReadCommandDesign(const std::string& path, RuleFilter checked, Design& design);

// Reads the chart picture named by --picture and names it in the design; says why it
// cannot be used (an input problem, a file that is no picture Valvix can read, a picture
// that cannot be decoded), or nothing.
std::string ReadCommandPicture(const std::string& path, Design& design,
                               std::shared_ptr<const Picture>& picture);

// The message for an output file its writer could not write: the option and the file,
// the writer's own failure, and why where that can be told (its folder does not exist,
// is no folder or may not be written; the file is a folder or may not be written).
std::string OutputProblem(std::string_view option, const std::string& path,
                          std::string_view failure);

} // namespace valvix::cli
