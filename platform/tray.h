// The program's icon in the desktop's notification area: shown with a
// tooltip, removed at the end. Presses on it and the area's going away come
// back as TrayEvents.
#pragma once

#include <string_view>

namespace platform {

class TrayEvents {
 public:
  // The icon's primary (left) press: the user wants to see the window.
  virtual void onTrayShowWindow() = 0;
  // The icon's secondary (right) press: the program's menu, at the pointer.
  virtual void onTrayMenu() = 0;
  // The notification area holding the icon went away (a panel that crashed
  // or restarted); the icon comes back by itself with a new one.
  virtual void onTrayGone() = 0;

 protected:
  ~TrayEvents() = default;
};

class Tray {
 public:
  // Puts the program's icon in the notification area with this tooltip
  // (UTF-8). Where there is no area yet, the icon goes in when one comes.
  virtual void show(std::string_view tooltip) = 0;
  virtual void remove() = 0;
  // Whether the desktop has a notification area at all.
  virtual bool available() const = 0;

 protected:
  ~Tray() = default;
};

}  // namespace platform
