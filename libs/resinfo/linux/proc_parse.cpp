#include "proc_parse.h"

#include <algorithm>
#include <charconv>

namespace resinfo {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Splits off the next line (without its newline) from `text`.
std::string_view nextLine(std::string_view& text) {
  const size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return line;
}

// Reads the next blank-separated unsigned number from `text`.
std::optional<std::uint64_t> nextNumber(std::string_view& text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{}) return std::nullopt;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  return value;
}

// The counters after a "cpu" or "cpuN" label, in the kernel's order: user,
// nice, system, idle, iowait, irq, softirq, steal. At least the first four
// must be there (the others came with later kernels).
std::optional<CpuTimes> parseCpuCounters(std::string_view rest) {
  constexpr size_t Counters = 8, Idle = 3, IoWait = 4;
  CpuTimes times;
  size_t count = 0;
  while (count < Counters) {
    const auto value = nextNumber(rest);
    if (!value) break;
    (count == Idle || count == IoWait ? times.idle : times.busy) += *value;
    ++count;
  }
  if (count < 4) return std::nullopt;
  return times;
}

std::uint8_t percentOf(double part, double whole) {
  if (!(whole > 0)) return 0;
  const double percent = 100.0 * part / whole + 0.5;
  return static_cast<std::uint8_t>(std::clamp(percent, 0.0, 100.0));
}

}  // namespace

std::optional<CpuTimes> ParseCpuTimes(std::string_view procStat) {
  std::optional<CpuTimes> sum;
  while (!procStat.empty()) {
    const std::string_view line = nextLine(procStat);
    if (!line.starts_with("cpu")) continue;
    std::string_view rest = line.substr(3);
    if (!rest.empty() && isBlank(rest.front())) {
      if (auto all = parseCpuCounters(rest)) return all;
      continue;
    }
    std::string_view id = rest;
    if (!nextNumber(id) || id.empty() || !isBlank(id.front())) continue;
    const auto one = parseCpuCounters(id);
    if (!one) continue;
    if (!sum) sum = CpuTimes{};
    sum->idle += one->idle;
    sum->busy += one->busy;
  }
  return sum;
}

MemInfo ParseMemInfo(std::string_view procMeminfo) {
  MemInfo info;
  const std::pair<std::string_view, std::optional<std::uint64_t> MemInfo::*> fields[] = {
      {"MemTotal:", &MemInfo::total},     {"MemAvailable:", &MemInfo::available},
      {"MemFree:", &MemInfo::free},       {"Buffers:", &MemInfo::buffers},
      {"Cached:", &MemInfo::cached},      {"SReclaimable:", &MemInfo::reclaimable},
  };
  while (!procMeminfo.empty()) {
    const std::string_view line = nextLine(procMeminfo);
    for (const auto& [label, field] : fields) {
      if (!line.starts_with(label)) continue;
      std::string_view rest = line.substr(label.size());
      info.*field = nextNumber(rest);
    }
  }
  return info;
}

std::optional<std::uint8_t> MemoryFreePercent(const MemInfo& info) {
  if (!info.total || *info.total == 0) return std::nullopt;
  std::uint64_t available = 0;
  if (info.available) {
    available = *info.available;
  } else if (info.free) {
    available = *info.free + info.buffers.value_or(0) + info.cached.value_or(0) + info.reclaimable.value_or(0);
  } else {
    return std::nullopt;
  }
  return FreePercent(*info.total - std::min(available, *info.total), *info.total);
}

std::optional<std::uint64_t> ParseTaskCount(std::string_view procLoadavg) {
  // "0.20 0.18 0.12 1/80 11206": the fourth field is running/total.
  for (int field = 0; field < 3; ++field) {
    while (!procLoadavg.empty() && isBlank(procLoadavg.front())) procLoadavg.remove_prefix(1);
    const size_t end = procLoadavg.find_first_of(" \t");
    if (end == std::string_view::npos) return std::nullopt;
    procLoadavg.remove_prefix(end);
  }
  if (!nextNumber(procLoadavg) || !procLoadavg.starts_with('/')) return std::nullopt;
  procLoadavg.remove_prefix(1);
  return nextNumber(procLoadavg);
}

std::optional<FileTable> ParseFileNr(std::string_view fileNr) {
  const auto allocated = nextNumber(fileNr);
  const auto unused = nextNumber(fileNr);
  const auto max = nextNumber(fileNr);
  if (!allocated || !unused || !max) return std::nullopt;
  return FileTable{*allocated, *unused, *max};
}

std::optional<std::uint64_t> ParseNumber(std::string_view text) { return nextNumber(text); }

std::uint8_t FreePercent(std::uint64_t used, std::uint64_t limit) {
  if (used >= limit) return 0;
  return percentOf(static_cast<double>(limit - used), static_cast<double>(limit));
}

std::optional<ResourceLevels> ResourceFreeLevels(std::optional<std::uint64_t> tasks,
                                                 std::optional<std::uint64_t> threadsMax,
                                                 std::optional<std::uint64_t> pidMax,
                                                 std::optional<FileTable> files) {
  std::optional<std::uint8_t> tasksFree, filesFree;
  if (tasks && (threadsMax || pidMax)) {
    const std::uint64_t limit = std::min(threadsMax.value_or(UINT64_MAX), pidMax.value_or(UINT64_MAX));
    tasksFree = FreePercent(*tasks, limit);
  }
  if (files) filesFree = FreePercent(files->inUse(), files->max);
  if (!tasksFree && !filesFree) return std::nullopt;
  const std::uint8_t overall = std::min(tasksFree.value_or(100), filesFree.value_or(100));
  return ResourceLevels{overall, tasksFree.value_or(overall), filesFree.value_or(overall)};
}

}  // namespace resinfo
