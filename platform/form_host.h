// The two directions between a form's logic and the backend that renders its
// design: the logic sets and gets properties through FormHost, the backend
// raises events through FormHandlers. Controls, timers and menu items are
// addressed by their index in the form's design.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "design.h"

namespace platform {

// The form itself, where an event names a control.
inline constexpr int FormItself = -1;

// The Windows API's own values; its headers define them as macros, which a
// Windows backend then uses instead.
#ifndef HWND_TOPMOST
inline constexpr std::int32_t HWND_TOPMOST = -1, HWND_NOTOPMOST = -2;
inline constexpr std::uint32_t SWP_NOSIZE = 1, SWP_NOMOVE = 2, SWP_SHOWWINDOW = 0x40;
#endif

class FormHost {
 public:
  virtual void setCaption(int control, std::string_view text) = 0;
  virtual std::string caption(int control) const = 0;
  virtual void setForeColour(int control, Colour colour) = 0;
  virtual void setFontUnderline(int control, bool underline) = 0;
  // Widths below zero are drawn as zero; the value is accepted all the same.
  virtual void setWidth(int control, float twips) = 0;

  virtual bool visible() const = 0;
  virtual void setVisible(bool visible) = 0;
  // The window's position on the screen, in twips.
  virtual float top() const = 0;
  virtual float left() const = 0;
  virtual void setTop(float twips) = 0;
  virtual void setLeft(float twips) = 0;
  virtual std::uint32_t hWnd() const = 0;
  virtual std::uint32_t iconHandle() const = 0;
  virtual float twipsPerPixelX() const = 0;

  virtual void setMenuVisible(int item, bool visible) = 0;
  virtual void setMenuChecked(int item, bool checked) = 0;
  // Pops the menu up at the cursor and returns when it closes; the chosen
  // item's handler runs from within.
  virtual void popupMenu(int item) = 0;

  // The window-manager calls of the original: z-order (keeping position and
  // size; SWP_SHOWWINDOW shows a hidden window), foreground, and handing the
  // current left press to the window manager as a move of the window.
  virtual std::int32_t SetWindowPos(std::int32_t insertAfter, std::uint32_t flags) = 0;
  virtual std::int32_t SetForegroundWindow() = 0;
  virtual void beginMoveByPress() = 0;
  // Runs every event that is waiting, then returns.
  virtual void processPendingEvents() = 0;

 protected:
  ~FormHost() = default;
};

// Mouse buttons as a bit set: 1 left, 2 right, 4 middle.
inline constexpr int LeftButton = 1, RightButton = 2;

// Why a form is unloaded, the toolkit's UnloadMode reduced to what the
// logic acts on: whether someone is there to answer a message box.
enum class UnloadMode {
  UserClose,   // the user closed it: the window manager's close, a menu's quit
  Unattended,  // nobody is watching: a signal, a logout, the session ending
};

class FormHandlers {
 public:
  virtual void onLoad() {}
  // The toolkit unloads the form (a window manager's close, a logout,
  // SIGTERM); for the monitor window the program then ends.
  virtual void onUnload(UnloadMode /*mode*/) {}
  virtual void onTimer(int /*timer*/) {}
  virtual void onMenuClick(int /*item*/) {}
  virtual void onMouseDown(int /*control*/, int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
  virtual void onMouseMove(int /*control*/, int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
  virtual void onClick(int /*control*/) {}
  virtual void onDblClick(int /*control*/) {}
  // The notification area holding the form's icon went away (a panel that
  // crashed or restarted); the icon comes back by itself with a new one.
  virtual void onTrayGone() {}
  // The program was started again where this copy runs (the same settings
  // file); that start has ended, and this copy is asked to the front.
  virtual void onAnotherStart() {}

 protected:
  ~FormHandlers() = default;
};

}  // namespace platform
