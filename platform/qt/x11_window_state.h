// Window-manager hints Qt has no API for, written straight to the X server.
// Elsewhere (Wayland, offscreen) these do nothing; Wayland offers
// applications no always-on-top at all.
#pragma once

#include <optional>

class QPoint;
class QWidget;

namespace platform::qt {

// Writes _NET_WM_STATE on the unmapped window: no taskbar or pager entry
// when `skipTaskbar`, above normal windows when `above`. Qt keeps the states
// it finds on an unmapped window, so this goes before every show.
void WriteStatesBeforeShow(QWidget& window, bool skipTaskbar, bool above);

// Asks the window manager to put a shown window above normal windows or
// level with them. (Toggling Qt's WindowStaysOnTopHint instead would
// recreate the window.)
void SetAboveWhileShown(QWidget& window, bool above);

// Hands the left button's press at `pressedAt` (global, in logical pixels)
// to the window manager as the start of a move, so the window keeps its
// place under the pointer from the press on. False where there is no
// window manager that moves windows for their clients.
bool StartWindowManagerMove(QWidget& window, QPoint pressedAt);

// Where the shown window stands on the screen (its top-left corner, in
// logical pixels), asked of the X server. Qt's own idea can be stale: a
// window manager that reparents a new window and moves its frame a moment
// later leaves Qt with the place inside the frame.
std::optional<QPoint> PlaceOnScreen(QWidget& window);

// Asks the window manager for no decoration at all, for a window that draws
// its own border: window managers differ on what a border of theirs comes
// with (xfwm4 and KWin add a title bar). Only a sizable window may be
// resized by the window manager.
void DecorateWithoutTitle(QWidget& window, bool sizable);

// Whether the X server's keyboard focus is on the window; elsewhere, whether
// Qt counts it active.
bool HasKeyboardFocus(QWidget& window);
// Gives the shown window the keyboard focus itself, for a window manager
// that counts the window active but left the focus where it had put it.
void TakeKeyboardFocus(QWidget& window);

}  // namespace platform::qt
