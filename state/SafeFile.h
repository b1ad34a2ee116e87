#pragma once

#include <string>
#include <string_view>

namespace valvix {

// Writes bytes to path so that the target is either the old file or the complete
// new one: the text goes to a temporary file in the same folder, which is then
// renamed over the target. Where the folder allows no temporary file, an existing
// file is rewritten in place, but only when the new bytes fit under the file-size
// limit and in the free space (its old bytes put back if the write fails all the
// same). A file the user may not write (or has made read-only) is never replaced.
// Returns false (and removes any temporary file) on any failure.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

} // namespace valvix
