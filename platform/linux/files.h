// The settings file through POSIX calls, by bare name in the current
// directory.
#pragma once

#include <string_view>

#include "session.h"

namespace platform::linux_ {

// Reads a whole regular file, through symbolic links; a FIFO or a device
// is refused without being opened for blocking, and more than 1 MiB is no
// settings file.
FileRead ReadWholeFile(std::string_view name);

// Writes the bytes to a temporary file beside the file a symbolic link
// finally points to, flushes it to the disk and renames it over that file,
// so a crash, a kill or a full disk never leaves a truncated file. Where
// the file system allows, the temporary file has no name until it is
// complete; otherwise its name marks it as this program's, and the next
// save removes any a kill left behind.
FileProblem ReplaceWholeFile(std::string_view name, std::string_view bytes, OldFile old);

// An errno value as a kind the user is told about.
FileProblem ProblemOf(int error);

}  // namespace platform::linux_
