#include "proc_parse.h"

#include <gtest/gtest.h>

namespace {

using namespace resinfo;

constexpr std::string_view Stat =
    "cpu  4705 356 584 3699176 23060 0 277 0 0 0\n"
    "cpu0 1393 280 234 1849543 12250 0 197 0 0 0\n"
    "cpu1 3312 76 350 1849633 10810 0 80 0 0 0\n"
    "intr 114930548 113199788 3 0 5 263 0 4 [... lots more numbers]\n"
    "ctxt 1990473\nbtime 1062191376\nprocesses 2915\nprocs_running 1\nprocs_blocked 0\n";

TEST(CpuTimes, TheAllCpuLineSplitIntoIdleAndBusy) {
  const auto t = ParseCpuTimes(Stat);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->idle, 3699176u + 23060u);  // iowait is idle time
  // guest columns are inside user and nice and must not count twice
  EXPECT_EQ(t->busy, 4705u + 356 + 584 + 0 + 277 + 0);
}

TEST(CpuTimes, OldKernelsWithFourColumnsAndMissingLines) {
  const auto old = ParseCpuTimes("cpu 10 20 30 40\n");
  ASSERT_TRUE(old);
  EXPECT_EQ(old->idle, 40u);
  EXPECT_EQ(old->busy, 60u);
  EXPECT_FALSE(ParseCpuTimes("cpu 10 20 30\n"));
  EXPECT_FALSE(ParseCpuTimes(""));
  EXPECT_FALSE(ParseCpuTimes("intr 1 2 3\ncpufreq 5 5 5 5\n"));
}

TEST(CpuTimes, SumsThePerCpuLinesPresentWhenTheTotalIsMissing) {
  // cpu1 is offline and has no line of its own.
  const auto t = ParseCpuTimes("cpu0 1 0 1 8 0 0 0 0\ncpu2 3 0 1 6 0 0 0 0\nintr 5\n");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->idle, 14u);
  EXPECT_EQ(t->busy, 6u);
}

TEST(CpuTimes, BusyShareBetweenSnapshots) {
  const auto before = ParseCpuTimes("cpu 100 0 50 800 50 0 0 0\n");
  const auto after = ParseCpuTimes("cpu 130 0 60 850 60 0 0 0\n");  // 40 busy of 100
  ASSERT_TRUE(before && after);
  EXPECT_EQ(BusyPercent(*before, *after, 7), 40);
  // The first snapshot compares with zero: the average since boot.
  EXPECT_EQ(BusyPercent(CpuTimes{}, *before, 7), 15);
  // Huge counters neither overflow nor wrap.
  EXPECT_EQ(BusyPercent(CpuTimes{}, CpuTimes{UINT64_MAX, UINT64_MAX}, 7), 50);
}

TEST(CpuTimes, NoTimeOrCountersGoingBackwardsKeepTheLastReading) {
  const auto before = ParseCpuTimes("cpu 1000 0 0 1000 100 0 0 0\n");
  ASSERT_TRUE(before);
  EXPECT_EQ(BusyPercent(*before, *before, 7), 7);
  // Time moved from iowait to idle: no step backwards, 100 busy of 200.
  EXPECT_EQ(BusyPercent(*before, *ParseCpuTimes("cpu 1100 0 0 1150 50 0 0 0\n"), 7), 50);
  EXPECT_EQ(BusyPercent(*before, *ParseCpuTimes("cpu 1100 0 0 1100 50 0 0 0\n"), 7), 67);  // 100 of 150
  // A CPU went offline where the per-CPU lines are summed: busy time went
  // backwards, and neither 0 nor 100 would be true.
  EXPECT_EQ(BusyPercent(*before, *ParseCpuTimes("cpu 900 0 0 1200 100 0 0 0\n"), 7), 7);
  EXPECT_EQ(BusyPercent(*before, *ParseCpuTimes("cpu 1100 0 0 900 100 0 0 0\n"), 7), 7);
}

constexpr std::string_view Meminfo =
    "MemTotal:        8000000 kB\n"
    "MemFree:         1000000 kB\n"
    "MemAvailable:    2000000 kB\n"
    "Buffers:          100000 kB\n"
    "Cached:           500000 kB\n"
    "SwapCached:            0 kB\n"
    "SReclaimable:     200000 kB\n";

TEST(Memory, AvailableOfTotal) {
  EXPECT_EQ(MemoryFreePercent(ParseMemInfo(Meminfo)), 25);
}

TEST(Memory, WithoutMemAvailableFreeBuffersCacheAndReclaimableSlab) {
  const MemInfo info = ParseMemInfo(
      "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 200 kB\nSwapCached: 999 kB\nSReclaimable: 50 kB\n");
  EXPECT_EQ(MemoryFreePercent(info), 40);  // SwapCached must not be taken for Cached
}

TEST(Memory, MissingOrNonsense) {
  EXPECT_FALSE(MemoryFreePercent(ParseMemInfo("")));
  EXPECT_FALSE(MemoryFreePercent(ParseMemInfo("MemTotal: 0 kB\nMemAvailable: 0 kB\n")));
  EXPECT_FALSE(MemoryFreePercent(ParseMemInfo("MemTotal: 1000 kB\n")));
  EXPECT_FALSE(MemoryFreePercent(ParseMemInfo("MemTotal: lots\nMemAvailable: 5 kB\n")));
  // More available than total is capped at all free.
  EXPECT_EQ(MemoryFreePercent(ParseMemInfo("MemTotal: 100 kB\nMemAvailable: 500 kB\n")), 100);
}

TEST(Resources, TaskCountAndFileTable) {
  EXPECT_EQ(ParseTaskCount("0.20 0.18 0.12 1/80 11206\n"), 80u);
  EXPECT_FALSE(ParseTaskCount("0.20 0.18 0.12\n"));
  EXPECT_FALSE(ParseTaskCount("0.20 0.18 0.12 1-80 11206\n"));
  const auto files = ParseFileNr("1632\t0\t9223372036854775807\n");
  ASSERT_TRUE(files);
  EXPECT_EQ(files->inUse(), 1632u);
  EXPECT_EQ(files->max, 9223372036854775807u);
  EXPECT_FALSE(ParseFileNr("1632 0\n"));
  EXPECT_EQ(ParseNumber("4194304\n"), 4194304u);
  EXPECT_FALSE(ParseNumber("\n"));
}

TEST(Resources, TheScarcerTableSetsTheLevel) {
  const auto levels = ResourceFreeLevels(750, 1000, 32768, FileTable{300, 100, 1000});
  ASSERT_TRUE(levels);
  EXPECT_EQ(levels->tasks, 25);
  EXPECT_EQ(levels->files, 80);
  EXPECT_EQ(levels->overall, 25);
  // pid_max bounds the tasks when it is the lower limit.
  EXPECT_EQ(ResourceFreeLevels(500, 100000, 1000, std::nullopt)->tasks, 50);
  // A huge file limit leaves the table all but free.
  EXPECT_EQ(ResourceFreeLevels(std::nullopt, std::nullopt, std::nullopt, FileTable{5000, 0, 9223372036854775807u})->overall, 100);
  // Overfull tables are 0, never wrapped around.
  EXPECT_EQ(ResourceFreeLevels(2000, 1000, std::nullopt, std::nullopt)->overall, 0);
  EXPECT_FALSE(ResourceFreeLevels(std::nullopt, 1000, 1000, std::nullopt));
  EXPECT_FALSE(ResourceFreeLevels(80, std::nullopt, std::nullopt, std::nullopt));
}

}  // namespace
