// What the program needs of the desktop session besides its windows: the
// screens, the settings file, text conversion, reports, and ending.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct TwipsRect {
  double left = 0, top = 0, width = 0, height = 0;
};

struct FileRead {
  enum class Status { Ok, Missing, Failed } status = Status::Missing;
  std::string text;    // with Ok
  std::string reason;  // with Failed
};

class Session {
 public:
  // The screens in twips, the primary one first.
  virtual std::vector<TwipsRect> screens() const = 0;

  // A file in the current directory, by bare name.
  virtual FileRead readFile(std::string_view name) = 0;
  // Replaces the file as a whole or not at all; returns why it failed, or
  // an empty string.
  virtual std::string replaceFile(std::string_view name, std::string_view bytes) = 0;

  // UTF-8 to the bytes of the system's ANSI code page (932 for this
  // program's texts).
  virtual std::string toAnsi(std::string_view utf8) const = 0;
  virtual std::string fromAnsi(std::string_view ansi) const = 0;

  // A note on standard error.
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
