// The program's icon in the notification area, through Shell_NotifyIconA
// with the smallest record every version of the shell takes: 89 bytes, the
// tooltip in the system's ANSI code page. The shell reports presses on the
// icon to the monitor window as WM_MOUSEMOVE whose lParam is the mouse
// message; they are recognised here and raised as TrayEvents, in place of
// the pointer-over event. The icon is added again when the shell restarts
// (it forgets every icon then) and removed when the program ends any other
// way.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime_error.h"
#include "tray.h"

namespace platform::win32 {

class Win32Window;

// Six 32-bit fields (cbSize 89, the window, icon number 1, the flags
// NIF_MESSAGE | NIF_ICON | NIF_TIP, WM_MOUSEMOVE as the callback, the
// icon) and the NUL-filled tip. A tip longer than 65 bytes is a run-time
// error 9 (subscript out of range).
using TrayRecord = std::array<std::uint8_t, 89>;
TrayRecord MakeTrayRecord(std::uint32_t window, std::uint32_t icon, std::string_view ansiTip);

enum class TrayPress { None, Primary, Secondary };
// What a WM_MOUSEMOVE's lParam means as the icon's callback: its low word
// is the mouse message the icon got. The pointer's own move to x = 513 or
// 516 in the window reads the same; the monitor window is narrower than
// that up to 200 dpi.
TrayPress TrayPressOf(LPARAM lParam);

class Win32Tray final : public Tray {
 public:
  // The shell's call; a test passes one that records the records.
  using NotifyCall = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
  Win32Tray(Win32Window& window, HandlerGuard& guard, NotifyCall shellCall = ::Shell_NotifyIconA);
  ~Win32Tray();
  Win32Tray(const Win32Tray&) = delete;
  Win32Tray& operator=(const Win32Tray&) = delete;

  void attach(TrayEvents& events) { events_ = &events; }

  void show(std::string_view tooltip) override;
  void remove() override;
  bool available() const override;

 private:
  BOOL notify(DWORD message, const TrayRecord& record) const;

  Win32Window& window_;
  HandlerGuard& guard_;
  NotifyCall notify_;
  TrayEvents* events_ = nullptr;
  std::optional<TrayRecord> shown_;
};

}  // namespace platform::win32
