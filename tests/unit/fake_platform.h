// A fake window and statistics library that write everything they are asked
// into one journal, so a test sees the exact order of a handler's calls.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "form1_design.h"
#include "forms.h"
#include "shell.h"
#include "form_host.h"
#include "port_library.h"
#include "session.h"
#include "stats_library.h"
#include "tray.h"

namespace fake {

using Journal = std::vector<std::string>;

class Window final : public platform::FormHost {
 public:
  explicit Window(Journal& journal, const platform::FormDesign& design = form1::Design)
      : journal_(journal), design_(design) {
    for (size_t i = 0; i < design.controls.size(); ++i) captions[static_cast<int>(i)] = std::string(design.controls[i].caption);
  }
  std::string ControlName(int control) const { return std::string(design_.controls[control].name); }
  std::string caption(int control) const override { return captions.at(control); }
  void setForeColour(int control, platform::Colour colour) override {
    colours[control] = colour;
    journal_.push_back("ForeColor " + ControlName(control) + " " + std::to_string(colour));
  }
  void setFontUnderline(int control, bool underline) override {
    underlines[control] = underline;
    journal_.push_back("FontUnderline " + ControlName(control) + (underline ? " True" : " False"));
  }
  void setCaption(int control, std::string_view text) override {
    captions[control] = std::string(text);
    journal_.push_back("Caption " + ControlName(control) + " " + std::string(text));
  }
  void setWidth(int control, float twips) override {
    widths[control] = twips;
    journal_.push_back("Width " + ControlName(control) + " " + std::to_string(static_cast<int>(twips)));
  }

  bool visible() const override { return shown; }
  void setVisible(bool v) override {
    shown = v;
    journal_.push_back(v ? "Visible True" : "Visible False");
  }
  float top() const override { return topTwips; }
  float left() const override { return leftTwips; }
  void setTop(float t) override {
    topTwips = t;
    journal_.push_back("Top " + std::to_string(static_cast<long long>(t)));
  }
  void setLeft(float l) override {
    leftTwips = l;
    journal_.push_back("Left " + std::to_string(static_cast<long long>(l)));
  }
  std::uint32_t hWnd() const override { return 0x1234; }
  std::uint32_t iconHandle() const override { return 0x5678; }
  float twipsPerPixelX() const override { return twipsPerPixel; }
  void setMenuVisible(int item, bool v) override {
    journal_.push_back(std::string("MenuVisible ") + std::string(form1::Design.menu[item].name) + (v ? " True" : " False"));
  }
  void setMenuChecked(int item, bool c) override {
    checked[item] = c;
    journal_.push_back(std::string("Checked ") + std::string(form1::Design.menu[item].name) + (c ? " True" : " False"));
  }
  void popupMenu(int item) override {
    journal_.push_back("PopupMenu " + std::string(form1::Design.menu[item].name));
    if (onPopup) onPopup();
  }
  std::int32_t SetWindowPos(std::int32_t insertAfter, std::uint32_t flags) override {
    journal_.push_back("SetWindowPos " + std::to_string(insertAfter) + " " + std::to_string(flags));
    if (flags & platform::SWP_SHOWWINDOW) shown = true;
    if (insertAfter == platform::HWND_TOPMOST) onTop = true;
    if (insertAfter == platform::HWND_NOTOPMOST) onTop = false;
    return 1;
  }
  std::int32_t SetForegroundWindow() override {
    journal_.push_back("SetForegroundWindow");
    return 1;
  }
  void beginMoveByPress() override { journal_.push_back("BeginMove"); }
  void processPendingEvents() override { journal_.push_back("DoEvents"); }

  std::map<int, std::string> captions;
  std::map<int, float> widths;
  std::map<int, bool> checked;
  std::map<int, platform::Colour> colours;
  std::map<int, bool> underlines;
  bool shown = false, onTop = false;
  float topTwips = 0, leftTwips = 0, twipsPerPixel = 15;
  std::function<void()> onPopup;  // what the user chooses in the menu

 private:
  Journal& journal_;
  const platform::FormDesign& design_;
};

class Stats final : public platform::StatsLibrary {
 public:
  explicit Stats(Journal& journal) : journal_(journal) {}
  void GetResInfo(std::uint8_t& a, std::uint8_t& b, std::uint8_t& c) override {
    journal_.push_back("GetResInfo");
    a = resLevel1;
    b = resLevel2;
    c = resLevel3;
  }
  void GetCpuStart() override { journal_.push_back("GetCpuStart"); }
  std::uint8_t GetCpuUsage() override {
    journal_.push_back("GetCpuUsage");
    return cpu;
  }
  // Successive samples come from the queue; an empty queue repeats `memory`.
  std::uint8_t MemoryLoad() override {
    journal_.push_back("MemoryLoad");
    if (memorySamples.empty()) return memory;
    const std::uint8_t value = memorySamples.front();
    memorySamples.pop_front();
    return value;
  }
  std::uint8_t resLevel1 = 0, resLevel2 = 0, resLevel3 = 0, cpu = 0, memory = 0;
  std::deque<std::uint8_t> memorySamples;

 private:
  Journal& journal_;
};

// A chip whose data port delivers `dataByte`.
class Ports final : public platform::PortLibrary {
 public:
  explicit Ports(Journal& journal) : journal_(journal) {}
  std::int32_t OutputPort(std::int32_t port, std::int32_t value) override {
    journal_.push_back("OutputPort " + std::to_string(port) + " " + std::to_string(value));
    return value & 0xFF;
  }
  std::int32_t InputPort(std::int32_t port) override {
    journal_.push_back("InputPort " + std::to_string(port));
    return static_cast<std::int8_t>(dataByte);  // sign-extended, as the library does
  }
  bool ChipAnswers() const override { return answers; }
  std::uint8_t dataByte = 0x2D;
  bool answers = true;

 private:
  Journal& journal_;
};

class Tray final : public platform::Tray {
 public:
  explicit Tray(Journal& journal) : journal_(journal) {}
  std::int32_t Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconData& data) override {
    journal_.push_back(message == platform::NIM_ADD ? "NotifyIcon Add" : "NotifyIcon Delete");
    last = data;
    return 1;
  }
  bool available() const override { return present; }
  platform::NotifyIconData last;
  bool present = true;

 private:
  Journal& journal_;
};

// The settings file lives in `file` (nothing: no file); a write can be made
// to fail.
class Session final : public platform::Session {
 public:
  explicit Session(Journal& journal) : journal_(journal) {}
  std::vector<platform::TwipsRect> screens() const override { return screenList; }
  platform::FileRead readFile(std::string_view name) override {
    journal_.push_back("Read " + std::string(name));
    if (readFailure.failed()) return {readFailureStatus, {}, readFailure};
    if (!file) return {platform::FileRead::Status::Missing, {}, {}};
    return {platform::FileRead::Status::Ok, *file, {}};
  }
  platform::FileProblem replaceFile(std::string_view name, std::string_view bytes, platform::OldFile old) override {
    journal_.push_back("Write " + std::string(name) + (old == platform::OldFile::KeepAsBackup ? " keeping a backup" : ""));
    if (writeFailure.failed()) return writeFailure;
    file = std::string(bytes);
    return {};
  }
  std::string fromAnsi(std::string_view ansi) const override { return std::string(ansi); }
  std::string toAnsi(std::string_view utf8) const override {
    // The one text the logic converts: ペルモ in code page 932.
    return utf8 == "ペルモ" ? std::string("\x83\x79\x83\x8B\x83\x82") : std::string(utf8);
  }
  void warn(std::string_view text) override { warnings.emplace_back(text); }
  void alert(std::string_view text) override {
    alerts.emplace_back(text);
    if (onAlert) onAlert();
  }
  void endProgram() override { journal_.push_back("End"); }

  std::optional<std::string> file;
  platform::FileProblem readFailure, writeFailure;
  platform::FileRead::Status readFailureStatus = platform::FileRead::Status::Failed;
  std::vector<std::string> warnings, alerts;
  std::function<void()> onAlert;  // what happens while the box is up
  std::vector<platform::TwipsRect> screenList{{0, 0, 1920 * 15, 1080 * 15}};

 private:
  Journal& journal_;
};

// Secondary windows: each load makes a fresh fake window from the design.
class Forms final : public platform::Forms {
 public:
  explicit Forms(Journal& journal) : journal_(journal) {}
  platform::FormHost& load(const platform::FormDesign& design, platform::FormHandlers&) override {
    journal_.push_back("Load " + std::string(design.name));
    windows.push_back(std::make_unique<Window>(journal_, design));
    return *windows.back();
  }
  void show(platform::FormHost&) override { journal_.push_back("Show"); }
  void unload(platform::FormHost&) override { journal_.push_back("Unload"); }
  std::vector<std::unique_ptr<Window>> windows;

 private:
  Journal& journal_;
};

class Shell final : public platform::Shell {
 public:
  explicit Shell(Journal& journal) : journal_(journal) {}
  std::uint32_t GetDesktopWindow() override {
    journal_.push_back("GetDesktopWindow");
    return 0x10010;
  }
  std::int32_t ShellExecuteA(std::uint32_t owner, std::string_view operation, std::string_view file,
                             const char* parameters, std::string_view directory, int show) override {
    journal_.push_back("ShellExecute " + std::to_string(owner) + " " + std::string(operation) + " " + std::string(file) +
                       (parameters ? " params" : " null") + " \"" + std::string(directory) + "\" " + std::to_string(show));
    return 2;  // the shell failed: nobody may notice
  }

 private:
  Journal& journal_;
};

}  // namespace fake
