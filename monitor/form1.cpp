#include "form1.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <variant>

#include "file_names.h"
#include "module1.h"
#include "number_text.h"
#include "settings.h"
#include "texts.h"

namespace monitor {

using namespace form1;
using platform::ErrorNumber;
using platform::RuntimeError;

namespace {

constexpr std::int32_t ChipIndexPort = 661;       // 0x295
constexpr std::int32_t ChipDataPort = 662;        // 0x296
constexpr std::int32_t TemperatureRegister = 39;  // 0x27

constexpr std::int32_t WM_MOUSEMOVE = 0x200, WM_LBUTTONDOWN = 0x201, WM_RBUTTONDOWN = 0x204;

std::int32_t roundToInt32(float value) {
  const double rounded = std::nearbyint(static_cast<double>(value));  // ties to even
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max()))
    throw RuntimeError(ErrorNumber::Overflow, {});
  return static_cast<std::int32_t>(rounded);
}

}  // namespace

std::int32_t NotificationCode(float x, float twipsPerPixelX) {
  const std::int32_t twips = roundToInt32(x);
  const std::int32_t perPixel = roundToInt32(twipsPerPixelX);
  if (perPixel == 0) throw RuntimeError(ErrorNumber::DivisionByZero, {});
  if (twips == std::numeric_limits<std::int32_t>::min() && perPixel == -1) throw RuntimeError(ErrorNumber::Overflow, {});
  return twips / perPixel;
}

void KeepOnAScreen(double& top, double& left, double width, double height,
                   const std::vector<platform::TwipsRect>& screens) {
  for (const platform::TwipsRect& s : screens)
    if (left < s.left + s.width && left + width > s.left && top < s.top + s.height && top + height > s.top) return;
  if (screens.empty()) return;
  const platform::TwipsRect& primary = screens.front();
  left = std::clamp(left, primary.left, std::max(primary.left, primary.left + primary.width - width));
  top = std::clamp(top, primary.top, std::max(primary.top, primary.top + primary.height - height));
}

Form1::Placement Form1::ReadSettings() {
  // Without a usable file the window starts at its design position with
  // always-on-top off, and the file is written at quit.
  Placement defaults{static_cast<double>(Design.top), static_cast<double>(Design.left), 1};
  const platform::FileRead file = session_.readFile(texts::SettingsFile);
  if (file.status == platform::FileRead::Status::Missing) return defaults;
  std::string problem;
  if (file.status == platform::FileRead::Status::Unavailable) {
    // Nothing is known of the file: it is neither kept aside nor replaced.
    leaveFileAlone_ = true;
    session_.warn(std::string(texts::SettingsFile)
                      .append(": ")
                      .append(platform::ReasonText(file.problem))
                      .append(texts::SettingsIgnored)
                      .append(texts::SettingsLeftAlone));
    return defaults;
  }
  if (file.status == platform::FileRead::Status::Failed) {
    problem = platform::ReasonText(file.problem);
    // A directory or a FIFO in the file's place is not moved aside: the
    // save at quit fails and says so instead.
    using Kind = platform::FileProblem::Kind;
    keepRejected_ = file.problem.kind != Kind::IsADirectory && file.problem.kind != Kind::NotARegularFile;
  } else {
    const auto parsed = ParseSettings(file.text);
    if (const auto* s = std::get_if<Settings>(&parsed)) return {double(s->top), double(s->left), s->topmostNext};
    problem = DescribeProblem(std::get<SettingsProblem>(parsed));
    keepRejected_ = true;
  }
  // The user's file is not lost at the next save: it is kept beside it.
  std::string warning = std::string(texts::SettingsFile).append(": ").append(problem).append(texts::SettingsIgnored);
  if (keepRejected_)
    warning.append(texts::SettingsBackupAhead)
        .append(platform::BackupNameOf(texts::SettingsFile))
        .append(texts::SettingsBackupAheadEnd);
  session_.warn(warning);
  return defaults;
}

void Form1::Form_Load() {
  Placement saved = ReadSettings();
  KeepOnAScreen(saved.top, saved.left, Design.clientWidth, Design.clientHeight, session_.screens());
  window_.setTop(static_cast<float>(saved.top));
  window_.setLeft(static_cast<float>(saved.left));
  TopmostNext = saved.topmostNext;

  TrayIcon.cbSize = 89;
  TrayIcon.hWnd = window_.hWnd();
  TrayIcon.uID = 1;
  TrayIcon.uFlags = platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP;
  TrayIcon.uCallbackMessage = WM_MOUSEMOVE;
  TrayIcon.hIcon = window_.iconHandle();
  const std::string tip = session_.toAnsi(texts::ProductName);
  for (size_t i = 0; i < tip.size(); ++i) {
    if (i > 64) throw RuntimeError(ErrorNumber::SubscriptOutOfRange, {});
    TrayIcon.szTip[i] = static_cast<std::uint8_t>(tip[i]);
  }
  ApiResult = tray_.Shell_NotifyIconA(platform::NIM_ADD, TrayIcon);

  window_.setVisible(false);
  window_.setMenuVisible(mnuTray, false);
  // frmTop_Click takes the turn the value names; turn it around first so
  // that the saved state is the one restored. Its z-order call shows the
  // window.
  TopmostNext = TopmostNext == 0 ? 1 : 0;
  frmTop_Click();
}

void Form1::WriteSettings() {
  if (leaveFileAlone_) return;
  const std::string text = FormatSettings(window_.top(), window_.left(), TopmostNext);
  const platform::FileProblem failure = session_.replaceFile(
      texts::SettingsFile, text, keepRejected_ ? platform::OldFile::KeepAsBackup : platform::OldFile::Replace);
  // A file that cannot be written is reported; the icon still goes and the
  // program still ends. Only a user who quit is there to answer a box: a
  // box at logout or on SIGTERM would hold the end up until the session
  // manager kills the program.
  settingsLost_ = failure.failed();
  if (!settingsLost_) return;
  const std::string report = std::string(texts::SettingsNotSaved)
                                 .append(": ")
                                 .append(texts::SettingsFile)
                                 .append(": ")
                                 .append(platform::ReasonText(failure));
  if (unloadMode_ == platform::UnloadMode::UserClose)
    session_.alert(report);
  else
    session_.warn(report);
}

void Form1::Form_Unload(std::int16_t& /*Cancel*/) {
  WriteSettings();
  ApiResult = tray_.Shell_NotifyIconA(platform::NIM_DELETE, TrayIcon);
}

void Form1::Quit(platform::UnloadMode mode) {
  if (quitting_) {
    session_.endProgram();
    return;
  }
  quitting_ = true;
  unloadMode_ = mode;
  std::int16_t Cancel = mode == platform::UnloadMode::UserClose ? 1 : 0;
  Form_Unload(Cancel);
  session_.endProgram();
  quitting_ = false;
}

void Form1::mnuEnd_Click() { Quit(platform::UnloadMode::UserClose); }

void Form1::onUnload(platform::UnloadMode mode) { Quit(mode); }

void Form1::frmTop_Click() {
  if (TopmostNext == 1) {
    Module1::SetTopmost(window_, 1);
    TopmostNext = 0;
    window_.setMenuChecked(frmTop, true);
  } else {
    Module1::SetTopmost(window_, 0);
    TopmostNext = 1;
    window_.setMenuChecked(frmTop, false);
  }
}

void Form1::Form_MouseMove(int /*Button*/, int /*Shift*/, float X, float /*Y*/) {
  switch (NotificationCode(X, window_.twipsPerPixelX())) {
    case WM_LBUTTONDOWN:
      window_.setMenuVisible(mnuTray, false);
      window_.setVisible(true);
      break;
    case WM_RBUTTONDOWN:
      ApiResult = window_.SetForegroundWindow();
      window_.processPendingEvents();
      window_.popupMenu(mnuTray);
      break;
    default:
      break;
  }
}

void Form1::Form_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
  if (Button & platform::LeftButton) {
    window_.beginMoveByPress();
  } else if ((Button & platform::RightButton) && !tray_.available()) {
    // With no notification area there is no icon to press: the window's
    // own right press opens the menu, so the program can always be hidden,
    // shown and quit.
    window_.popupMenu(mnuTray);
  }
}

void Form1::Form_DblClick() { noApp_Click(); }
void Form1::Image5_DblClick() { Form_DblClick(); }

void Form1::mnuAbout_Click() {
  window_.setMenuVisible(mnuTray, false);
  window_.setVisible(true);
}

void Form1::noApp_Click() {
  // Without a notification area there would be no icon to bring the window
  // back: it stays.
  if (tray_.available()) window_.setVisible(false);
}

void Form1::onAnotherStart() {
  // The user started the program to see it: shown as the icon's left press
  // shows it, and brought to the front.
  mnuAbout_Click();
  ApiResult = window_.SetForegroundWindow();
}

void Form1::onTrayGone() {
  // A hidden window would leave no way in; shown, its right press opens the
  // menu.
  if (!window_.visible()) mnuAbout_Click();
}

void Form1::mnuab_Click() { about_.mnuab_Click(); }

void Form1::Timer1_Timer() {
  stats_.GetResInfo(ResLevel1, ResLevel2, ResLevel3);
  stats_.GetCpuStart();
  CpuLoad = stats_.GetCpuUsage();

  window_.setCaption(Label3, NumberText(Complement(ResLevel1)));
  // Memory is sampled twice: once for the number, once for the bar.
  window_.setCaption(Label2, NumberText(Complement(stats_.MemoryLoad())));
  window_.setCaption(Label16, NumberText(CpuLoad));
  window_.setWidth(Shape1, BarWidth(Complement(stats_.MemoryLoad())));
  window_.setWidth(Shape3, BarWidth(CpuLoad));
  window_.setWidth(Shape5, BarWidth(Complement(ResLevel1)));
  ReadBoardTemperature();
}

void Form1::ReadBoardTemperature() {
  // Select the chip's temperature register, then read it at once.
  ports_.OutputPort(ChipIndexPort, TemperatureRegister);
  const auto reading = static_cast<std::int16_t>(ports_.InputPort(ChipDataPort));
  window_.setCaption(Label5, ports_.ChipAnswers() ? NumberText(reading) : std::string(texts::NoReading));
}

void Form1::onTimer(int timer) {
  if (timer == Timer1) Timer1_Timer();
}

void Form1::onMenuClick(int item) {
  switch (item) {
    case mnuAbout: mnuAbout_Click(); break;
    case noApp: noApp_Click(); break;
    case frmTop: frmTop_Click(); break;
    case mnuEnd: mnuEnd_Click(); break;
    case mnuab: mnuab_Click(); break;
    default: break;
  }
}

void Form1::onMouseDown(int control, int button, int shift, float x, float y) {
  if (control == platform::FormItself) Form_MouseDown(button, shift, x, y);
  // Labels and the logo cover much of the window and have no press
  // handlers: their right press is the window's, so that without a tray
  // the menu opens wherever the window is pressed.
  else if (button & platform::RightButton) Form_MouseDown(platform::RightButton, shift, x, y);
}

void Form1::onMouseMove(int control, int button, int shift, float x, float y) {
  if (control == platform::FormItself) Form_MouseMove(button, shift, x, y);
}

void Form1::onDblClick(int control) {
  if (control == platform::FormItself) Form_DblClick();
  if (control == Image5) Image5_DblClick();
}

}  // namespace monitor
