// The monitor window's logic: its state and its event handlers. It reaches
// the window only through FormHost, the statistics only through
// StatsLibrary, the board's chip only through PortLibrary, and the tray and
// the session through Tray and Session, so it runs the same under any
// backend and under test.
#pragma once

#include <cstdint>
#include <vector>

#include "form1_design.h"
#include "form2.h"
#include "form_host.h"
#include "port_library.h"
#include "session.h"
#include "stats_library.h"
#include "tray.h"

namespace monitor {

struct Form1Services {
  platform::FormHost& window;
  platform::StatsLibrary& stats;
  platform::PortLibrary& ports;
  platform::Tray& tray;
  platform::Session& session;
  about::Form2& about;
};

class Form1 final : public platform::FormHandlers {
 public:
  explicit Form1(const Form1Services& services)
      : window_(services.window), stats_(services.stats), ports_(services.ports), tray_(services.tray),
        session_(services.session), about_(services.about) {}

  // Restores the saved position and always-on-top choice and puts the icon
  // in the tray; the window is visible when it returns.
  void Form_Load();
  // Saves the settings and removes the icon. Never refuses. A failed save
  // is shown in a box only when someone closed the program themselves.
  void Form_Unload(std::int16_t& Cancel);
  // One sample: the statistics library's readings into the three number
  // labels and the three bars, then the board's temperature.
  void Timer1_Timer();

  // Tray notifications arrive as mouse moves whose X carries the code.
  void Form_MouseMove(int Button, int Shift, float X, float Y);
  void Form_MouseDown(int Button, int Shift, float X, float Y);
  void Form_DblClick();
  void Image5_DblClick();

  void mnuAbout_Click();  // show
  void noApp_Click();     // hide
  void frmTop_Click();    // always on top
  void mnuEnd_Click();    // quit
  void mnuab_Click();     // About

  // The form's module-level variables, zero when the form is created.
  platform::NotifyIconData TrayIcon;
  std::int32_t ApiResult = 0;
  std::int16_t TopmostNext = 0;
  std::uint8_t ResLevel1 = 0;
  std::uint8_t ResLevel2 = 0;
  std::uint8_t ResLevel3 = 0;
  std::uint8_t CpuLoad = 0;

  // Events from the backend.
  void onLoad() override { Form_Load(); }
  void onUnload(platform::UnloadMode mode) override;
  void onTimer(int timer) override;
  void onMenuClick(int item) override;
  void onMouseDown(int control, int button, int shift, float x, float y) override;
  void onMouseMove(int control, int button, int shift, float x, float y) override;
  void onDblClick(int control) override;
  void onTrayGone() override;
  void onAnotherStart() override;

  // Whether the settings could not be written when the form was unloaded:
  // the program then ends with a failure status, however it was ended.
  bool settingsLost() const { return settingsLost_; }

 private:
  platform::FormHost& window_;
  platform::StatsLibrary& stats_;
  platform::PortLibrary& ports_;
  platform::Tray& tray_;
  platform::Session& session_;
  about::Form2& about_;

  // Reads the temperature register of the mainboard's hardware-monitor
  // chip into the "TEM" number.
  void ReadBoardTemperature();
  // The saved settings, or the defaults where there are none that can be
  // read (said once on standard error).
  struct Placement {
    double top, left;
    std::int16_t topmostNext;
  };
  Placement ReadSettings();
  void WriteSettings();
  // Unloads the form and ends the program; a second quit arriving while
  // the first waits on its message box ends the program at once.
  void Quit(platform::UnloadMode mode);
  platform::UnloadMode unloadMode_ = platform::UnloadMode::UserClose;
  bool keepRejected_ = false;  // the file read at start was rejected: keep it at the save
  bool leaveFileAlone_ = false;  // the file could not even be opened at start: no save
  bool quitting_ = false;
  bool settingsLost_ = false;
};

// A reading widened without sign to 16 bits, then 100 minus it in signed
// 16-bit arithmetic: -155 to 100.
constexpr std::int16_t Complement(std::uint8_t reading) {
  return static_cast<std::int16_t>(100 - static_cast<std::int16_t>(reading));
}

// Ten twips a percentage point, exactly, in single precision; never clamped.
constexpr float BarWidth(std::int16_t percent) { return static_cast<float>(static_cast<std::int16_t>(percent * 10)); }

// The tray's mouse message from a mouse move's X: X and twips-per-pixel each
// rounded to a 32-bit integer (ties to even), then divided, truncating.
std::int32_t NotificationCode(float x, float twipsPerPixelX);

// Where a saved position would leave the window on no screen at all (a
// monitor since unplugged), a place on the primary screen instead.
void KeepOnAScreen(double& top, double& left, double width, double height,
                   const std::vector<platform::TwipsRect>& screens);

}  // namespace monitor
