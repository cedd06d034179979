// The settings file in the current directory: read whole, and replaced
// through a temporary file beside it that is flushed to the disk and then
// moved over it, so it is never left half-written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "session.h"

namespace platform::win32 {

// The file calls the writer makes, so a test can fail any of them. Each
// returns a Windows error code, 0 on success.
class FileCalls {
 public:
  using Handle = void*;
  // GetFileAttributesA: INVALID_FILE_ATTRIBUTES where nothing is there.
  virtual std::uint32_t attributes(const std::string& name) = 0;
  virtual std::uint32_t createNew(const std::string& name, Handle& file) = 0;
  virtual std::uint32_t write(Handle file, std::string_view bytes) = 0;
  virtual std::uint32_t flush(Handle file) = 0;
  virtual std::uint32_t close(Handle file) = 0;
  // CopyFileA over an existing file.
  virtual std::uint32_t copyOver(const std::string& from, const std::string& to) = 0;
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
  virtual std::uint32_t moveOver(const std::string& from, const std::string& to) = 0;
  virtual void remove(const std::string& name) = 0;
  // The names that begin with `prefix` in its directory, with its directory
  // part (FindFirstFileA).
  virtual std::vector<std::string> namesStartingWith(const std::string& prefix) = 0;

 protected:
  ~FileCalls() = default;
};

FileCalls& RealFileCalls();

// `seed` varies the temporary file's name. A file marked read-only, a
// directory or a device is not replaced. Temporary files that earlier saves
// left behind, cut short by a kill, are removed.
FileProblem ReplaceWholeFile(FileCalls& calls, std::string_view name, std::string_view bytes, OldFile old,
                             std::uint32_t seed);
// Only a regular file is read; more than 1 MiB is no settings file.
FileRead ReadWholeFile(std::string_view name);
// A Windows error code as a problem the user is told about.
FileProblem ProblemOf(std::uint32_t error);
// The system's own words for an error code.
std::string ErrorText(std::uint32_t error);

}  // namespace platform::win32
