// The desktop session on Windows: monitors, pelmo.ini in the current
// directory, reports, and ending the message loop.
#pragma once

#include "runtime_error.h"
#include "session.h"

namespace platform::win32 {

class Win32Session final : public Session {
 public:
  explicit Win32Session(HandlerGuard& guard) : guard_(guard) {}

  std::vector<TwipsRect> screens() const override;
  FileRead readFile(std::string_view name) override;
  FileProblem replaceFile(std::string_view name, std::string_view bytes, OldFile old) override;
  void warn(std::string_view text) override;
  void alert(std::string_view text) override;
  void endProgram() override;

 private:
  HandlerGuard& guard_;
};

}  // namespace platform::win32
