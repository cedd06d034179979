// A fake window, tray, session and libraries that keep what they are told,
// so a test checks what the user would see (texts, widths, whether the
// window is shown and on top, what the file holds) and, where the order
// matters to the user, the journal of the steps that leave the program.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "about_window.h"
#include "monitor_design.h"
#include "monitor_window.h"
#include "port_library.h"
#include "session.h"
#include "shell.h"
#include "stats_library.h"
#include "tray.h"
#include "window.h"

namespace fake {

using Journal = std::vector<std::string>;

class Window final : public ui::Window {
 public:
  explicit Window(Journal& journal, const ui::WindowDesign& design = monitor::Design)
      : design_(design), journal_(journal) {
    for (size_t i = 0; i < design.controls.size(); ++i) setText(static_cast<int>(i), design.controls[i].caption);
  }
  // What a screen reader hears of a reading follows its text.
  void setText(int control, std::string_view text) override {
    texts[control] = std::string(text);
    if (const ui::ReadingWords* words = design_.controls[static_cast<size_t>(control)].reading)
      spoken[control] = ui::SpokenReading(*words, text);
  }
  void setTextColour(int control, ui::Colour colour) override { colours[control] = colour; }
  void setUnderline(int control, bool underline) override { underlines[control] = underline; }
  void setWidth(int control, float twips) override { widths[control] = twips; }
  bool visible() const override { return shown; }
  void show() override { shown = true; }
  void hide() override { shown = false; }
  float top() const override { return topTwips; }
  float left() const override { return leftTwips; }
  void moveTo(float left, float top) override {
    leftTwips = left;
    topTwips = top;
  }
  void setAlwaysOnTop(bool on) override {
    onTop = on;
    shown = true;
  }
  void bringToFront() override { journal_.push_back("to the front"); }
  void beginMoveByPress() override { journal_.push_back("move by press"); }
  void setMenuChecked(int item, bool c) override { checked[item] = c; }
  void popupMenu(int item, ui::MenuPlace place) override {
    journal_.push_back("menu " + std::string(monitor::Design.menu[item].name) +
                       (place == ui::MenuPlace::AtWindow ? " at the window" : ""));
    if (onPopup) onPopup();
  }

  std::map<int, std::string> texts;
  std::map<int, std::string> spoken;
  std::map<int, float> widths;
  std::map<int, bool> checked;
  std::map<int, ui::Colour> colours;
  std::map<int, bool> underlines;
  bool shown = false, onTop = false;
  float topTwips = 0, leftTwips = 0;
  std::function<void()> onPopup;  // what the user chooses in the menu

 private:
  const ui::WindowDesign& design_;
  Journal& journal_;
};

class Stats final : public platform::StatsLibrary {
 public:
  std::uint8_t resourcesFreePercent() override { return resourcesFree; }
  void startCpuSample() override {}
  std::uint8_t cpuBusyPercent() override { return cpu; }
  std::uint8_t memoryFreePercent() override {
    ++memoryReads;
    return memoryFree;
  }
  std::uint8_t knownReadings() override { return known; }
  std::uint8_t resourcesFree = 0, cpu = 0, memoryFree = 0, known = platform::AllReadingsKnown;
  int memoryReads = 0;
};

// A chip whose data port delivers `dataByte` once its temperature register
// is selected.
class Ports final : public platform::PortLibrary {
 public:
  std::int32_t writePort(std::int32_t port, std::int32_t value) override {
    if (port == 0x295) selected = value & 0xFF;
    return value & 0xFF;
  }
  std::int32_t readPort(std::int32_t port) override {
    if (port != 0x296 || selected != 0x27) return -1;
    return static_cast<std::int8_t>(dataByte);  // sign-extended, as the library does
  }
  bool chipAnswers() const override { return answers; }
  std::uint8_t dataByte = 0x2D;
  bool answers = true;
  int selected = -1;
};

class Tray final : public platform::Tray {
 public:
  explicit Tray(Journal& journal) : journal_(journal) {}
  void show(std::string_view tip) override { tooltip = std::string(tip); }
  void remove() override {
    tooltip.reset();
    journal_.push_back("icon removed");
  }
  bool available() const override { return present; }
  std::optional<std::string> tooltip;  // the icon's, while it is there
  bool present = true;

 private:
  Journal& journal_;
};

// The settings file lives in `file` (nothing: no file); a read or a write
// can be made to fail.
class Session final : public platform::Session {
 public:
  explicit Session(Journal& journal) : journal_(journal) {}
  std::vector<platform::TwipsRect> screens() const override { return screenList; }
  platform::FileRead readFile(std::string_view) override {
    if (readFailure.failed()) return {readFailureStatus, {}, readFailure};
    if (!file) return {platform::FileRead::Status::Missing, {}, {}};
    return {platform::FileRead::Status::Ok, *file, {}};
  }
  platform::FileProblem replaceFile(std::string_view name, std::string_view bytes, platform::OldFile old) override {
    journal_.push_back("write " + std::string(name) + (old == platform::OldFile::KeepAsBackup ? " keeping a backup" : ""));
    if (writeFailure.failed()) return writeFailure;
    file = std::string(bytes);
    return {};
  }
  void warn(std::string_view text) override { warnings.emplace_back(text); }
  void alert(std::string_view text) override {
    alerts.emplace_back(text);
    if (onAlert) onAlert();
  }
  void endProgram() override { journal_.push_back("end"); }

  std::optional<std::string> file;
  platform::FileProblem readFailure, writeFailure;
  platform::FileRead::Status readFailureStatus = platform::FileRead::Status::Failed;
  std::vector<std::string> warnings, alerts;
  std::function<void()> onAlert;  // what happens while the box is up
  std::vector<platform::TwipsRect> screenList{{0, 0, 1920 * 15, 1080 * 15}};

 private:
  Journal& journal_;
};

// Secondary windows: each one made is a fresh fake window from the design.
class WindowMaker final : public ui::WindowMaker {
 public:
  ui::Window& make(const ui::WindowDesign& design, ui::WindowEvents&) override {
    windows.push_back(std::make_unique<Window>(journal_, design));
    return *windows.back();
  }
  void show(ui::Window& window) override { static_cast<Window&>(window).shown = true; }
  void destroy(ui::Window& window) override { static_cast<Window&>(window).shown = false; }
  std::vector<std::unique_ptr<Window>> windows;

 private:
  Journal journal_;
};

class Shell final : public platform::Shell {
 public:
  void openUrl(std::string_view url) override { opened.emplace_back(url); }
  std::vector<std::string> opened;
};

// The monitor window's logic on the fake platform.
struct Monitor {
  Journal journal;
  Window window{journal};
  Stats stats;
  Ports ports;
  Tray tray{journal};
  Session session{journal};
  WindowMaker maker;
  Shell shell;
  about::AboutWindow about{maker, shell};
  monitor::MonitorWindow logic{{window, stats, ports, tray, session, about}};
};

}  // namespace fake
