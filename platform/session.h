// What the program needs of the desktop session besides its windows: the
// screens, the settings file, reports, and ending.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file_problem.h"

namespace platform {

struct TwipsRect {
  double left = 0, top = 0, width = 0, height = 0;
};

struct FileRead {
  // Unavailable: not opened for a reason of the moment (no descriptor or
  // memory to spare), so nothing is known of the file's content.
  enum class Status { Ok, Missing, Failed, Unavailable } status = Status::Missing;
  std::string text;       // with Ok
  FileProblem problem;    // with Failed and Unavailable
};

// What becomes of the file a save replaces.
enum class OldFile { Replace, KeepAsBackup };

class Session {
 public:
  // The screens in twips, the primary one first.
  virtual std::vector<TwipsRect> screens() const = 0;

  // A file in the current directory, by bare name; only a regular file is
  // read (through symbolic links).
  virtual FileRead readFile(std::string_view name) = 0;
  // Replaces the file as a whole or not at all, where a symbolic link
  // points. The old file goes under BackupNameOf(its name) when asked.
  // A read-only or non-regular file is not replaced: that is a failure.
  virtual FileProblem replaceFile(std::string_view name, std::string_view bytes, OldFile old) = 0;

  // A note on standard error (UTF-8, as every text here).
  virtual void warn(std::string_view text) = 0;
  // A note on standard error and in a message box.
  virtual void alert(std::string_view text) = 0;

  // Ends the program at once: every window closes without further unload
  // events, the timers stop, the process exits.
  virtual void endProgram() = 0;

 protected:
  ~Session() = default;
};

}  // namespace platform
