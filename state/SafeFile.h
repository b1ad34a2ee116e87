#pragma once

#include <string>
#include <string_view>

namespace valvix {

// Writes bytes to path so that the target is either the old file or the complete
// new one: the text goes to a temporary file in the same folder, which is then
// renamed over the target. Returns false (and removes the temporary file) on any
// failure.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

} // namespace valvix
