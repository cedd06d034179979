// The desktop's URL opener (QDesktopServices, which runs xdg-open on Linux).
#pragma once

#include "shell.h"

namespace platform::qt {

class QtShell final : public Shell {
 public:
  void openUrl(std::string_view url) override;
};

}  // namespace platform::qt
