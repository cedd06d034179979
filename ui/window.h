// A window as the logic sees it: the logic changes what its controls show
// and asks for what the window does (show, hide, stay on top, move, pop up
// its menu) through Window; the backend that renders the window's design
// tells the logic what happened to it through WindowEvents. Controls,
// timers and menu items are addressed by their index in the window's design.
#pragma once

#include <string_view>

#include "design.h"

namespace ui {

// The window itself, where an event names a control.
inline constexpr int WholeWindow = -1;

// Mouse buttons as a bit set.
inline constexpr int LeftButton = 1, RightButton = 2;

// Where a menu pops up: at the pointer (a press), or at the window (a key,
// when the pointer may be anywhere).
enum class MenuPlace { AtPointer, AtWindow };

// Why the window is closing, as far as the logic acts on it: whether
// someone is there to answer a message box.
enum class CloseReason {
  ByUser,      // the user closed it: the window manager's close, the menu's quit
  Unattended,  // nobody is watching: a signal, a logout, the session ending
};

class Window {
 public:
  // Texts are UTF-8. A reading's new text is announced to a listening
  // screen reader, in its ReadingWords, while the window is shown; one that
  // changed while it was hidden is announced when it is shown again.
  virtual void setText(int control, std::string_view text) = 0;
  virtual void setTextColour(int control, Colour colour) = 0;
  virtual void setUnderline(int control, bool underline) = 0;
  // Widths below zero are drawn as zero; the value is accepted all the same.
  virtual void setWidth(int control, float twips) = 0;

  virtual bool visible() const = 0;
  virtual void show() = 0;
  virtual void hide() = 0;
  // Where the client area's top-left corner is on the screen, in twips.
  virtual float top() const = 0;
  virtual float left() const = 0;
  virtual void moveTo(float left, float top) = 0;

  // Above every ordinary window, or level with them; the window keeps its
  // place and size, and a hidden window is shown.
  virtual void setAlwaysOnTop(bool on) = 0;
  // Makes the window the one the user works with (keyboard focus, in front),
  // and lets what that sets off run before returning, so that a menu
  // popped up next belongs to it.
  virtual void bringToFront() = 0;
  // Hands the current left press to the window manager as a move of the
  // window.
  virtual void beginMoveByPress() = 0;

  virtual void setMenuChecked(int item, bool checked) = 0;
  // Pops the menu up and returns when it closes; the chosen item's event
  // arrives from within.
  virtual void popupMenu(int item, MenuPlace place) = 0;

 protected:
  ~Window() = default;
};

class WindowEvents {
 public:
  // The window has been made from its design; it is not shown yet.
  virtual void onOpen() {}
  // The window is closing (a window manager's close, a logout, SIGTERM);
  // for the monitor window the program then ends.
  virtual void onClose(CloseReason /*reason*/) {}
  virtual void onTimer(int /*timer*/) {}
  virtual void onMenuItem(int /*item*/) {}
  // A mouse button went down on a control or on the window itself.
  virtual void onPress(int /*control*/, int /*buttons*/) {}
  // The pointer moved over a control or over the window itself.
  virtual void onPointerOver(int /*control*/) {}
  virtual void onClick(int /*control*/) {}
  virtual void onDoubleClick(int /*control*/) {}
  // A control took the keyboard focus (Tab, or the window becoming active).
  virtual void onFocus(int /*control*/) {}
  // The keyboard asked for the window's menu: the Menu key or Shift+F10.
  virtual void onMenuKey() {}
  // The program was started again where this copy runs (the same settings
  // file); that start has ended, and this copy is asked to the front.
  virtual void onAnotherStart() {}

 protected:
  ~WindowEvents() = default;
};

// Windows made from a design while the program runs (the About window).
class WindowMaker {
 public:
  // Makes the window and its controls from the design; its events go to
  // `events`.
  virtual Window& make(const WindowDesign& design, WindowEvents& events) = 0;
  // Shows the window modeless and without an owner, centred on the screen
  // the first time; a window already shown comes to the front.
  virtual void show(Window& window) = 0;
  // Destroys the window and its controls. If it had the keyboard, the
  // program's window that had it when this one was shown gets it back.
  virtual void destroy(Window& window) = 0;

 protected:
  ~WindowMaker() = default;
};

}  // namespace ui
