// Pure parsers for the kernel's statistics files, and the percentages made
// from them. Every result is 0..100; text that lacks what a parser needs
// yields nothing rather than a guess.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "cpu_share.h"

namespace resinfo {

// The CPU time counters of /proc/stat, in clock ticks: idle and iowait are
// idle time; user, nice, system, irq, softirq and steal busy time. Guest
// time is already counted inside user and nice, so the guest columns are
// left out. The all-CPU line, or where it is missing the sum of the per-CPU
// lines present (offline CPUs have none).
std::optional<CpuTimes> ParseCpuTimes(std::string_view procStat);

struct MemInfo {
  std::optional<std::uint64_t> total, available, free, buffers, cached, reclaimable;
};
MemInfo ParseMemInfo(std::string_view procMeminfo);
// MemAvailable of MemTotal; kernels before 3.14 lack MemAvailable, and there
// free + buffers + page cache + reclaimable slab stands in for it.
std::optional<std::uint8_t> MemoryFreePercent(const MemInfo& info);

// The number of tasks (threads) alive: the total in "running/total" of
// /proc/loadavg.
std::optional<std::uint64_t> ParseTaskCount(std::string_view procLoadavg);

struct FileTable {
  std::uint64_t allocated = 0, unused = 0, max = 0;
  std::uint64_t inUse() const { return allocated > unused ? allocated - unused : 0; }
};
std::optional<FileTable> ParseFileNr(std::string_view fileNr);

// A file that holds one unsigned number, like /proc/sys/kernel/threads-max.
std::optional<std::uint64_t> ParseNumber(std::string_view text);

// Share of `limit` not taken by `used`, rounded; 0 when nothing is left or
// the limit is unknown (zero).
std::uint8_t FreePercent(std::uint64_t used, std::uint64_t limit);

struct ResourceLevels {
  std::uint8_t overall, tasks, files;
};
// Tasks are bounded by both threads-max and pid_max (every thread takes a
// PID); the overall level is the scarcer of the two tables.
std::optional<ResourceLevels> ResourceFreeLevels(std::optional<std::uint64_t> tasks,
                                                 std::optional<std::uint64_t> threadsMax,
                                                 std::optional<std::uint64_t> pidMax,
                                                 std::optional<FileTable> files);

}  // namespace resinfo
