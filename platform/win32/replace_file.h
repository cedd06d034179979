// The settings file in the current directory: read whole, and replaced
// through a temporary file beside it that is flushed to the disk and then
// moved over it, so it is never left half-written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "session.h"

namespace platform::win32 {

// The file calls the writer makes, so a test can fail any of them. Each
// returns a Windows error code, 0 on success.
class FileCalls {
 public:
  using Handle = void*;
  virtual std::uint32_t createNew(const std::string& name, Handle& file) = 0;
  virtual std::uint32_t write(Handle file, std::string_view bytes) = 0;
  virtual std::uint32_t flush(Handle file) = 0;
  virtual std::uint32_t close(Handle file) = 0;
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
  virtual std::uint32_t moveOver(const std::string& from, const std::string& to) = 0;
  virtual void remove(const std::string& name) = 0;

 protected:
  ~FileCalls() = default;
};

FileCalls& RealFileCalls();

// Returns why it failed, or an empty string. `seed` varies the temporary
// file's name.
std::string ReplaceWholeFile(FileCalls& calls, std::string_view name, std::string_view bytes, std::uint32_t seed);
// More than 1 MiB is no settings file and fails.
FileRead ReadWholeFile(std::string_view name);
// A Windows error code in words.
std::string ErrorText(std::uint32_t error);

}  // namespace platform::win32
