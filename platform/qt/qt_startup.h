// Choices about Qt itself, made before the application object exists, and
// what is undone once it does.
#pragma once

#include <thread>

namespace platform::qt {

// The program wakes twice a second to repaint a few dozen pixels. Qt's
// defaults are made for larger windows: shared-memory images cost the GUI
// thread an X round trip (and a hand-off to Qt's X reader thread) on every
// repaint, and the GLib event loop costs more per wake-up than Qt's own.
// Nothing in the program takes typed text, so it needs no input method (Qt
// would load one and its compose tables before the first paint). All three
// are turned off unless the user has chosen otherwise.
void PrepareQtForATinyWindow();

// The program's threads (Qt's X reader, its D-Bus connection, the font
// configuration reader below) allocate little, but each would get a malloc
// arena of its own: one arena serves them all. Call first thing in main.
void OneMallocArena();
// Start-up leaves much freed memory behind (the font configuration's
// parse, plugin metadata, the pictures' files): it goes back to the system
// once the event loop has shown and painted the window.
void TrimMemoryAfterStartup();

// The window needs a place of its own choosing, always-on-top and no
// taskbar button, which Wayland does not give applications: where a Wayland
// session also offers X11 (XWayland) and the user has not chosen a Qt
// platform, the program runs on X11. Call before the application object
// exists; FinishQtStartup takes the choice back, so that programs started
// from here (a browser for a link) make their own.
void PreferX11OnWayland();
// Running natively on Wayland, says once what does not work there.
void NoteWaylandLimits();

// Until FinishQtStartup, a start-up that finds no display says so plainly
// and ends with status 1; Qt's own way is abort() and talk of reinstalling.
void ReportNoDisplayPlainly();

// Once the application object exists: what was set in the environment for
// Qt's start-up alone is taken out again, so that the programs a link
// starts (a browser, a mail program) do not inherit it.
void FinishQtStartup();

// The choice of Qt's event loop stays in the environment for the whole run
// (Qt reads it as each of its threads starts). While one of these lives,
// the environment holds only what the user set, for a program to be
// started: a browser for a link, or this program anew.
class UsersEnvironment {
 public:
  UsersEnvironment();
  ~UsersEnvironment();
  UsersEnvironment(const UsersEnvironment&) = delete;
  UsersEnvironment& operator=(const UsersEnvironment&) = delete;
};

// Replaces the program with a fresh start of itself, same arguments, same
// directory; returns only where that cannot be done (said on standard error).
void StartAgain(char** argv);

// Reading the font configuration (some fifty files on a desktop, and the
// font caches) is the largest single step before the first paint, and it
// needs nothing from Qt. It runs on a thread of its own while Qt loads its
// platform plugin and connects to the display; wait() joins it before the
// first font is asked for.
class FontConfigInAdvance {
 public:
  FontConfigInAdvance();
  ~FontConfigInAdvance() { wait(); }
  FontConfigInAdvance(const FontConfigInAdvance&) = delete;
  FontConfigInAdvance& operator=(const FontConfigInAdvance&) = delete;
  void wait();

 private:
  std::thread reader_;
};

}  // namespace platform::qt
