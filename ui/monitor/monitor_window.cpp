#include "monitor_window.h"

#include <algorithm>
#include <cstdint>
#include <vector>
#include <variant>

#include "board_chip.h"
#include "file_names.h"
#include "number_text.h"
#include "settings.h"
#include "texts.h"

namespace monitor {
namespace {

// Percent used from a share that is free: 100 minus the reading, which a
// library may give above 100 (then below zero, drawn as no bar).
constexpr int UsedPercent(std::uint8_t freePercent) { return 100 - int{freePercent}; }

// Ten twips a percentage point: the bar's width.
constexpr float BarWidth(int percent) { return static_cast<float>(percent * 10); }

// Where a saved position would leave the window on no screen at all (a
// monitor since unplugged), a place on the primary screen instead.
void KeepOnAScreen(double& top, double& left, double width, double height,
                   const std::vector<platform::TwipsRect>& screens) {
  for (const platform::TwipsRect& s : screens)
    if (left < s.left + s.width && left + width > s.left && top < s.top + s.height && top + height > s.top) return;
  if (screens.empty()) return;
  const platform::TwipsRect& primary = screens.front();
  left = std::clamp(left, primary.left, std::max(primary.left, primary.left + primary.width - width));
  top = std::clamp(top, primary.top, std::max(primary.top, primary.top + primary.height - height));
}

}  // namespace

MonitorWindow::Placement MonitorWindow::readSettings() {
  // Without a usable file the window starts at its design position with
  // always-on-top off, and the file is written at quit.
  const Placement defaults{static_cast<double>(Design.top), static_cast<double>(Design.left), false};
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
    // A directory, a FIFO or a socket in the file's place, or links that
    // lead round in a circle, are not moved aside (nor promised to be): the
    // save at quit fails and says so instead.
    using Kind = platform::FileProblem::Kind;
    keepRejected_ = file.problem.kind != Kind::IsADirectory && file.problem.kind != Kind::NotARegularFile &&
                    file.problem.kind != Kind::LinkLoop;
  } else {
    const auto parsed = ParseSettings(file.text);
    if (const auto* s = std::get_if<Settings>(&parsed)) return {double(s->top), double(s->left), s->alwaysOnTop};
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

void MonitorWindow::onOpen() {
  Placement saved = readSettings();
  KeepOnAScreen(saved.top, saved.left, Design.clientWidth, Design.clientHeight, session_.screens());
  window_.moveTo(static_cast<float>(saved.left), static_cast<float>(saved.top));
  tray_.show(texts::ProductName);
  // Setting always-on-top shows the window.
  setAlwaysOnTop(saved.alwaysOnTop);
}

void MonitorWindow::writeSettings() {
  if (leaveFileAlone_) return;
  const std::string text = FormatSettings(window_.top(), window_.left(), alwaysOnTop_);
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
  if (closeReason_ == ui::CloseReason::ByUser)
    session_.alert(report);
  else
    session_.warn(report);
}

void MonitorWindow::quit(ui::CloseReason reason) {
  if (quitting_) {
    session_.endProgram();
    return;
  }
  quitting_ = true;
  closeReason_ = reason;
  writeSettings();
  tray_.remove();
  session_.endProgram();
  quitting_ = false;
}

void MonitorWindow::setAlwaysOnTop(bool on) {
  window_.setAlwaysOnTop(on);
  alwaysOnTop_ = on;
  window_.setMenuChecked(AlwaysOnTopItem, on);
}

void MonitorWindow::toggleAlwaysOnTop() { setAlwaysOnTop(!alwaysOnTop_); }

void MonitorWindow::showWindow() { window_.show(); }

void MonitorWindow::hideWindow() {
  if (tray_.available()) window_.hide();
}

void MonitorWindow::onTrayMenu() {
  // The window comes to the front first, so that the menu closes when the
  // user presses elsewhere.
  window_.bringToFront();
  window_.popupMenu(ProgramMenu, ui::MenuPlace::AtPointer);
}

void MonitorWindow::onMenuKey() {
  // The keyboard's way to everything the tray offers, tray or not.
  window_.popupMenu(ProgramMenu, ui::MenuPlace::AtWindow);
}

void MonitorWindow::onPress(int /*control*/, int buttons) {
  // Left on the window itself moves it. Right anywhere on it opens the menu
  // when there is no tray, so the program can always be hidden, shown and
  // quit; labels and the logo cover much of the window.
  if (buttons & ui::LeftButton) {
    window_.beginMoveByPress();
  } else if ((buttons & ui::RightButton) && !tray_.available()) {
    window_.popupMenu(ProgramMenu, ui::MenuPlace::AtPointer);
  }
}

void MonitorWindow::onDoubleClick(int control) {
  if (control == ui::WholeWindow || control == Logo) hideWindow();
}

void MonitorWindow::onAnotherStart() {
  // The user started the program to see it: shown and brought to the front.
  showWindow();
  window_.bringToFront();
}

void MonitorWindow::onTrayGone() {
  // A hidden window would leave no way in; shown, its right press opens the
  // menu.
  if (!window_.visible()) showWindow();
}

void MonitorWindow::onTick() {
  const int resourcesUsed = UsedPercent(stats_.resourcesFreePercent());
  stats_.startCpuSample();
  const int cpuBusy = stats_.cpuBusyPercent();
  const int memoryUsed = UsedPercent(stats_.memoryFreePercent());
  // A reading the library never took shows dashes and no bar, as the
  // temperature does without a sensor, rather than a plausible 0.
  const std::uint8_t known = stats_.knownReadings();
  const auto text = [known](platform::ReadingKnown reading, int percent) {
    return known & reading ? NumberText(percent) : std::string(texts::NoReading);
  };
  const auto width = [known](platform::ReadingKnown reading, int percent) {
    return known & reading ? BarWidth(percent) : 0.0f;
  };

  window_.setText(ResourcesValue, text(platform::ResourcesKnown, resourcesUsed));
  window_.setText(MemoryValue, text(platform::MemoryKnown, memoryUsed));
  window_.setText(CpuValue, text(platform::CpuKnown, cpuBusy));
  window_.setWidth(MemoryBar, width(platform::MemoryKnown, memoryUsed));
  window_.setWidth(CpuBar, width(platform::CpuKnown, cpuBusy));
  window_.setWidth(ResourcesBar, width(platform::ResourcesKnown, resourcesUsed));
  showTemperature();
}

void MonitorWindow::showTemperature() {
  // Select the chip's temperature register, then read it at once.
  ports_.writePort(chip::IndexPort, chip::TemperatureRegister);
  const auto reading = static_cast<std::int16_t>(ports_.readPort(chip::DataPort));
  window_.setText(TemperatureValue, ports_.chipAnswers() ? NumberText(reading) : std::string(texts::NoReading));
}

void MonitorWindow::onTimer(int timer) {
  if (timer == SampleTimer) onTick();
}

void MonitorWindow::onMenuItem(int item) {
  switch (item) {
    case ShowItem: showWindow(); break;
    case HideItem: hideWindow(); break;
    case AlwaysOnTopItem: toggleAlwaysOnTop(); break;
    case QuitItem: quit(ui::CloseReason::ByUser); break;
    case AboutItem: openAbout(); break;
    default: break;
  }
}

}  // namespace monitor
