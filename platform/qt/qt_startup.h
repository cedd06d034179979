// Choices about Qt itself, made before the application object exists.
#pragma once

#include "session.h"

namespace platform::qt {

// The program wakes twice a second to repaint a few dozen pixels. Qt's
// defaults are made for larger windows: shared-memory images cost the GUI
// thread an X round trip (and a hand-off to Qt's X reader thread) on every
// repaint, and the GLib event loop costs more per wake-up than Qt's own.
// Both are turned off unless the user has chosen otherwise.
void PrepareQtForATinyWindow();

// The window needs a place of its own choosing, always-on-top and no
// taskbar button, which Wayland does not give applications: where a Wayland
// session also offers X11 (XWayland) and the user has not chosen a Qt
// platform, the program runs on X11. Call before the application object
// exists, and ForgetPlatformChoice once it does: programs started from here
// (a browser for a link) make their own choice.
void PreferX11OnWayland();
void ForgetPlatformChoice();
// Running natively on Wayland, says once what does not work there.
void NoteWaylandLimits(Session& session);

}  // namespace platform::qt
