// The arithmetic of the Windows statistics library, apart from the calls
// that feed it.
#pragma once

#include <cstdint>

#include "cpu_share.h"

namespace resinfo {

// `part` of `whole` in whole percent, rounded; 100 where whole is zero.
constexpr std::uint8_t Percent(std::uint64_t part, std::uint64_t whole) {
  if (whole == 0) return 100;
  if (part > whole) part = whole;
  return static_cast<std::uint8_t>((part * 200 + whole) / (2 * whole));
}

// GetSystemTimes' counters as idle and busy time: the kernel time includes
// the idle time. Counters that contradict that count as all idle.
constexpr CpuTimes SystemCpuTimes(std::uint64_t idle, std::uint64_t kernel, std::uint64_t user) {
  const std::uint64_t both = kernel + user;
  return {idle, both > idle ? both - idle : 0};
}

}  // namespace resinfo
