// The busy share of the CPUs between two snapshots of their time counters:
// one rule for both statistics libraries.
#pragma once

#include <cstdint>

namespace resinfo {

// CPU time since boot, in the counters' own unit, split into the time the
// CPUs were idle (waiting for I/O included) and the time they were busy.
struct CpuTimes {
  std::uint64_t idle = 0, busy = 0;
};

// The busy share between two snapshots in whole percent, rounded.
//
// Where no time passed between them, or either sum went backwards, there is
// no interval to measure, and `unchanged` (the caller's last reading) is
// returned. The sums go backwards only when what they add up changed under
// them: a CPU went offline where the per-CPU counters are summed, or the
// counters started again. A share made from such a difference would be an
// invented 0 or 100, so the last real one stands. Time the kernel moves
// between idle and I/O wait (Linux's iowait may decrease) stays inside
// `idle` and is no step backwards.
constexpr std::uint8_t BusyPercent(const CpuTimes& before, const CpuTimes& after, std::uint8_t unchanged) {
  if (after.idle < before.idle || after.busy < before.busy) return unchanged;
  const std::uint64_t idle = after.idle - before.idle, busy = after.busy - before.busy;
  if (idle == 0 && busy == 0) return unchanged;
  // In floating point, where the sum of two counters cannot overflow.
  const double whole = static_cast<double>(idle) + static_cast<double>(busy);
  return static_cast<std::uint8_t>(100.0 * static_cast<double>(busy) / whole + 0.5);
}

}  // namespace resinfo
