// Choices about Qt itself, made before the application object exists.
#pragma once

namespace platform::qt {

// The program wakes twice a second to repaint a few dozen pixels. Qt's
// defaults are made for larger windows: shared-memory images cost the GUI
// thread an X round trip (and a hand-off to Qt's X reader thread) on every
// repaint, and the GLib event loop costs more per wake-up than Qt's own.
// Both are turned off unless the user has chosen otherwise.
void PrepareQtForATinyWindow();

}  // namespace platform::qt
