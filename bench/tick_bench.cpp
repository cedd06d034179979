// One sampling tick in process: the monitor's logic against the real
// statistics library and board chip (bound by name, as the program binds
// them) and a window that takes the property sets and does nothing with them.
#include <benchmark/benchmark.h>

#include "board_ports.h"
#include "dl_loader.h"
#include "form1.h"
#include "proc_parse.h"

namespace {

struct NullWindow final : platform::FormHost {
  void setCaption(int, std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
  void setWidth(int, float twips) override { benchmark::DoNotOptimize(twips); }
};

void TickWithRealStatistics(benchmark::State& state) {
  platform::linux_::DlLoader loader;
  platform::BoundStatsLibrary stats(loader, RESINFO_PATH);
  platform::BoundPortLibrary portLibrary(loader, PINLATCH_PATH);
  platform::linux_::BoardPorts ports(portLibrary, "/sys", "/proc/ioports");
  NullWindow window;
  monitor::Form1 form(window, stats, ports);
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
