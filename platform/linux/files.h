// Files in the current directory, by bare name.
#pragma once

#include <string>
#include <string_view>

#include "session.h"

namespace platform::linux_ {

// Reads a whole file; more than 1 MiB is no settings file and fails.
FileRead ReadWholeFile(std::string_view name);

// Writes a temporary file beside the target, flushes it to the disk and
// renames it over the target, so a crash or a full disk never leaves a
// truncated file. Returns why it failed, or an empty string.
std::string ReplaceWholeFile(std::string_view name, std::string_view bytes);

}  // namespace platform::linux_
