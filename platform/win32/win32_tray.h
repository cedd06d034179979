// The notification area: the logic's record handed to Shell_NotifyIconA as
// it stands. The icon is added again when the shell restarts (it forgets
// every icon then) and removed when the program ends any other way.
#pragma once

#include <optional>

#include "tray.h"

namespace platform::win32 {

class Win32Form;

class Win32Tray final : public Tray {
 public:
  explicit Win32Tray(Win32Form& form);
  ~Win32Tray();

  std::int32_t Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override;
  bool available() const override;

 private:
  std::optional<NotifyIconData> added_;
};

}  // namespace platform::win32
