// The notification area, as the Windows shell offers it: an icon described
// by a NOTIFYICONDATA record, added and deleted with one call.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

// The ANSI NOTIFYICONDATA the program fills: six 32-bit fields and a 65-byte
// tip in the system's ANSI code page, NUL-filled.
struct NotifyIconData {
  std::uint32_t cbSize = 0;
  std::uint32_t hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uint32_t hIcon = 0;
  std::array<std::uint8_t, 65> szTip{};
};

#ifndef NIM_ADD  // the Windows API's own values, macros in its headers
inline constexpr std::uint32_t NIM_ADD = 0, NIM_DELETE = 2;
inline constexpr std::uint32_t NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4;
#endif

class Tray {
 public:
  // Adds or deletes the icon the record describes; nonzero on success. The
  // icon's presses come back to the record's window as mouse moves whose X
  // is the mouse message number in twips (the record's callback message is
  // WM_MOUSEMOVE).
  virtual std::int32_t Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) = 0;
  // Whether the desktop has a notification area at all.
  virtual bool available() const = 0;

 protected:
  ~Tray() = default;
};

}  // namespace platform
