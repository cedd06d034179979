// The desktop's URL opener (QDesktopServices, which runs xdg-open on Linux).
#pragma once

#include "session.h"
#include "shell.h"

namespace platform::qt {

class QtShell final : public Shell {
 public:
  explicit QtShell(const Session& session) : session_(session) {}

  std::uint32_t GetDesktopWindow() override { return 0; }
  std::int32_t ShellExecuteA(std::uint32_t owner, std::string_view operation, std::string_view file,
                             const char* parameters, std::string_view directory, int showCommand) override;

 private:
  const Session& session_;
};

}  // namespace platform::qt
