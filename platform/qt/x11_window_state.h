// Window-manager hints Qt has no API for, written straight to the X server.
// Elsewhere (Wayland, offscreen) these do nothing.
#pragma once

class QWidget;

namespace platform::qt {

// Asks for no taskbar or pager entry. Qt keeps the states it finds on an
// unmapped window, so this must be written before every show.
void SkipTaskbar(QWidget& window);

// Asks the window manager for a thin border and nothing else: no title bar,
// no buttons, no resizing.
void BorderOnly(QWidget& window);

}  // namespace platform::qt
