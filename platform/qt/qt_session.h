// The desktop session under Qt on Linux: screens from Qt, the settings file
// through POSIX, reports on standard error and in message boxes.
#pragma once

#include "runtime_error.h"
#include "session.h"

namespace platform::qt {

class QtSession final : public Session {
 public:
  explicit QtSession(HandlerGuard& guard) : guard_(guard) {}

  std::vector<TwipsRect> screens() const override;
  FileRead readFile(std::string_view name) override;
  FileProblem replaceFile(std::string_view name, std::string_view bytes, OldFile old) override;
  void warn(std::string_view text) override;
  void alert(std::string_view text) override;
  void endProgram() override;

 private:
  HandlerGuard& guard_;
};

}  // namespace platform::qt
