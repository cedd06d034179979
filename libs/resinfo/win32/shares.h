// The arithmetic of the Windows statistics library, apart from the calls
// that feed it.
#pragma once

#include <cstdint>

namespace resinfo {

// `part` of `whole` in whole percent, rounded; 100 where whole is zero.
constexpr std::uint8_t Percent(std::uint64_t part, std::uint64_t whole) {
  if (whole == 0) return 100;
  if (part > whole) part = whole;
  return static_cast<std::uint8_t>((part * 200 + whole) / (2 * whole));
}

// GetSystemTimes' counters; the kernel time includes the idle time.
struct CpuTimes {
  std::uint64_t idle = 0, kernel = 0, user = 0;
};

// Busy share between two snapshots; `unchanged` where no time passed (or
// a counter went backwards).
constexpr std::uint8_t BusyPercent(const CpuTimes& before, const CpuTimes& after, std::uint8_t unchanged) {
  if (after.idle < before.idle || after.kernel < before.kernel || after.user < before.user) return unchanged;
  const std::uint64_t total = (after.kernel - before.kernel) + (after.user - before.user);
  const std::uint64_t idle = after.idle - before.idle;
  if (total == 0 || idle > total) return unchanged;
  return Percent(total - idle, total);
}

}  // namespace resinfo
