// One sampling tick in process: the monitor's logic against the real
// statistics library and board chip (bound by name, as the program binds
// them) and a window that takes what the tick sets and does nothing with it.
#include <benchmark/benchmark.h>

#include "board_ports.h"
#include "dl_loader.h"
#include "monitor_window.h"
#include "proc_parse.h"

namespace {

// Takes what a tick sets (texts and bar widths); the rest is never called by
// a tick.
struct NullWindow final : ui::Window {
  void setText(int, std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
  void setTextColour(int, ui::Colour) override {}
  void setUnderline(int, bool) override {}
  void setWidth(int, float twips) override { benchmark::DoNotOptimize(twips); }
  bool visible() const override { return true; }
  void show() override {}
  void hide() override {}
  float top() const override { return 0; }
  float left() const override { return 0; }
  void moveTo(float, float) override {}
  void setAlwaysOnTop(bool) override {}
  void bringToFront() override {}
  void beginMoveByPress() override {}
  void setMenuChecked(int, bool) override {}
  void popupMenu(int, ui::MenuPlace) override {}
};

struct NoTray final : platform::Tray {
  void show(std::string_view) override {}
  void remove() override {}
  bool available() const override { return false; }
};

struct NoSession final : platform::Session {
  std::vector<platform::TwipsRect> screens() const override { return {}; }
  platform::FileRead readFile(std::string_view) override { return {}; }
  platform::FileProblem replaceFile(std::string_view, std::string_view, platform::OldFile) override { return {}; }
  void warn(std::string_view) override {}
  void alert(std::string_view) override {}
  void endProgram() override {}
};

struct NoWindowMaker final : ui::WindowMaker {
  NullWindow window;
  ui::Window& make(const ui::WindowDesign&, ui::WindowEvents&) override { return window; }
  void show(ui::Window&) override {}
  void destroy(ui::Window&) override {}
};

struct NoShell final : platform::Shell {
  void openUrl(std::string_view) override {}
};

void TickWithRealStatistics(benchmark::State& state) {
  platform::linux_::DlLoader loader;
  platform::BoundStatsLibrary stats(loader, RESINFO_PATH);
  platform::BoundPortLibrary portLibrary(loader, PINLATCH_PATH);
  platform::linux_::BoardPorts ports(portLibrary, "/sys", "/proc/ioports");
  NullWindow window;
  NoTray tray;
  NoSession session;
  NoWindowMaker windowMaker;
  NoShell shell;
  about::AboutWindow about(windowMaker, shell);
  monitor::MonitorWindow monitor({window, stats, ports, tray, session, about});
  for (auto _ : state) monitor.onTick();
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
