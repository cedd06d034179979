// One sampling tick in process: the monitor's logic against the real
// statistics library and board chip (bound by name, as the program binds
// them) and a window that takes the property sets and does nothing with them.
#include <benchmark/benchmark.h>

#include "board_ports.h"
#include "dl_loader.h"
#include "form1.h"
#include "proc_parse.h"

namespace {

// Takes the tick's six property sets; the rest is never called by a tick.
struct NullWindow final : platform::FormHost {
  void setCaption(int, std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
  void setWidth(int, float twips) override { benchmark::DoNotOptimize(twips); }
  std::string caption(int) const override { return {}; }
  void setForeColour(int, platform::Colour) override {}
  void setFontUnderline(int, bool) override {}
  bool visible() const override { return true; }
  void setVisible(bool) override {}
  float top() const override { return 0; }
  float left() const override { return 0; }
  void setTop(float) override {}
  void setLeft(float) override {}
  std::uint32_t hWnd() const override { return 0; }
  std::uint32_t iconHandle() const override { return 0; }
  float twipsPerPixelX() const override { return 15; }
  void setMenuVisible(int, bool) override {}
  void setMenuChecked(int, bool) override {}
  void popupMenu(int) override {}
  std::int32_t SetWindowPos(std::int32_t, std::uint32_t) override { return 1; }
  std::int32_t SetForegroundWindow() override { return 1; }
  void beginMoveByPress() override {}
  void processPendingEvents() override {}
};

struct NoTray final : platform::Tray {
  std::int32_t Shell_NotifyIconA(std::uint32_t, const platform::NotifyIconData&) override { return 0; }
  bool available() const override { return false; }
};

struct NoSession final : platform::Session {
  std::vector<platform::TwipsRect> screens() const override { return {}; }
  platform::FileRead readFile(std::string_view) override { return {}; }
  platform::FileProblem replaceFile(std::string_view, std::string_view, platform::OldFile) override { return {}; }
  std::string toAnsi(std::string_view text) const override { return std::string(text); }
  std::string fromAnsi(std::string_view text) const override { return std::string(text); }
  void warn(std::string_view) override {}
  void alert(std::string_view) override {}
  void endProgram() override {}
};

struct NoForms final : platform::Forms {
  NullWindow window;
  platform::FormHost& load(const platform::FormDesign&, platform::FormHandlers&) override { return window; }
  void show(platform::FormHost&) override {}
  void unload(platform::FormHost&) override {}
};

struct NoShell final : platform::Shell {
  std::uint32_t GetDesktopWindow() override { return 0; }
  std::int32_t ShellExecuteA(std::uint32_t, std::string_view, std::string_view, const char*, std::string_view,
                             int) override {
    return 0;
  }
};

void TickWithRealStatistics(benchmark::State& state) {
  platform::linux_::DlLoader loader;
  platform::BoundStatsLibrary stats(loader, RESINFO_PATH);
  platform::BoundPortLibrary portLibrary(loader, PINLATCH_PATH);
  platform::linux_::BoardPorts ports(portLibrary, "/sys", "/proc/ioports");
  NullWindow window;
  NoTray tray;
  NoSession session;
  NoForms forms;
  NoShell shell;
  about::Form2 about(forms, shell, session);
  monitor::Form1 form({window, stats, ports, tray, session, about});
  for (auto _ : state) form.Timer1_Timer();
}
BENCHMARK(TickWithRealStatistics);

void ParseProcStat(benchmark::State& state) {
  constexpr std::string_view text =
      "cpu  4705 356 584 3699176 23060 0 277 0 0 0\n"
      "cpu0 1393 280 234 1849543 12250 0 197 0 0 0\n"
      "cpu1 3312 76 350 1849633 10810 0 80 0 0 0\n"
      "intr 114930548 113199788 3 0 5 263 0 4 0 0 0 0 0 0 0 0 0 0 0 0 0\n";
  for (auto _ : state) benchmark::DoNotOptimize(resinfo::ParseCpuTimes(text));
}
BENCHMARK(ParseProcStat);

}  // namespace

BENCHMARK_MAIN();
