// The monitor window's logic: what it shows each tick, where it is, whether
// it stays on top, and what the tray icon and the menu do. It reaches the
// window only through ui::Window, the statistics only through StatsLibrary,
// the board's chip only through PortLibrary, and the tray and the session
// through Tray and Session, so it runs the same under any backend and
// under test.
//
// A reading's way from the system to a pixel: onTick asks the statistics
// library for the free shares (memory, system resources) and the busy
// share of the CPU, turns free shares into percent used, and sets each
// value's text and bar width on the window; the backend paints them. The
// temperature is read from the chip's register through the port library.
// A screen reader hears each value with its meaning and unit, as the
// design's ReadingWords say.
#pragma once

#include "about_window.h"
#include "monitor_design.h"
#include "port_library.h"
#include "session.h"
#include "stats_library.h"
#include "tray.h"
#include "window.h"

namespace monitor {

struct Services {
  ui::Window& window;
  platform::StatsLibrary& stats;
  platform::PortLibrary& ports;
  platform::Tray& tray;
  platform::Session& session;
  about::AboutWindow& about;
};

class MonitorWindow final : public ui::WindowEvents, public platform::TrayEvents {
 public:
  explicit MonitorWindow(const Services& services)
      : window_(services.window), stats_(services.stats), ports_(services.ports), tray_(services.tray),
        session_(services.session), about_(services.about) {}

  // Restores the saved place and always-on-top choice and puts the icon in
  // the tray; the window is visible when it returns.
  void onOpen() override;
  // One sample: the statistics into the three values and their bars, then
  // the board's temperature.
  void onTick();

  // The menu's items, the tray's left press, the window's double click.
  void showWindow();
  // Hides the window; where there is no tray it stays, as nothing could
  // bring it back.
  void hideWindow();
  void toggleAlwaysOnTop();
  // Saves the settings, removes the icon and ends the program; a second
  // quit arriving while the first waits on its message box ends the
  // program at once.
  void quit(ui::CloseReason reason);
  void openAbout() { about_.open(); }

  // Whether the settings could not be written when the program ended: it
  // then ends with a failure status, however it was ended.
  bool settingsLost() const { return settingsLost_; }

  // Events from the window and the tray.
  void onClose(ui::CloseReason reason) override { quit(reason); }
  void onTimer(int timer) override;
  void onMenuItem(int item) override;
  void onPress(int control, int buttons) override;
  void onDoubleClick(int control) override;
  void onAnotherStart() override;
  void onMenuKey() override;
  void onTrayShowWindow() override { showWindow(); }
  void onTrayMenu() override;
  void onTrayGone() override;

 private:
  void showTemperature();
  void setAlwaysOnTop(bool on);
  struct Placement {
    double top, left;
    bool alwaysOnTop;
  };
  // The saved settings, or the defaults where there are none that can be
  // read (said once on standard error).
  Placement readSettings();
  void writeSettings();

  ui::Window& window_;
  platform::StatsLibrary& stats_;
  platform::PortLibrary& ports_;
  platform::Tray& tray_;
  platform::Session& session_;
  about::AboutWindow& about_;

  bool alwaysOnTop_ = false;
  ui::CloseReason closeReason_ = ui::CloseReason::ByUser;
  bool keepRejected_ = false;    // the file read at start was rejected: keep it at the save
  bool leaveFileAlone_ = false;  // the file could not even be opened at start: no save
  bool quitting_ = false;
  bool settingsLost_ = false;
};

}  // namespace monitor
