// resinfo.dll: the statistics library on Windows NT, used from one thread.
//   CPU: GetSystemTimes between the two latest snapshots.
//   Memory: the available share of physical memory (GlobalMemoryStatusEx).
//   "System resources": the commit headroom, the share of the commit limit
//   (RAM plus page files) still free. NT has no 64 KiB resource heaps to
//   run out of; running out of commit is what stops programs from starting.
#include <windows.h>

#include <cstdint>

#include "resinfo.h"
#include "shares.h"

namespace {

using resinfo::CpuTimes;

CpuTimes previousCpu, latestCpu;
std::uint8_t cpuBusy = 0;
std::uint8_t known = 0;  // the readings ever taken

std::uint64_t ticks(const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; }

// Windows XP before its first service pack lacks GetSystemTimes.
using GetSystemTimesFn = BOOL(WINAPI*)(FILETIME*, FILETIME*, FILETIME*);
GetSystemTimesFn systemTimes() {
  static const auto fn = reinterpret_cast<GetSystemTimesFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimes")));
  return fn;
}

bool memoryStatus(MEMORYSTATUSEX& status) {
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) != 0;
}

}  // namespace

extern "C" {

void RESINFO_CALL GetResInfo(std::uint8_t* level, std::uint8_t* second, std::uint8_t* third) {
  static std::uint8_t headroom = 100;
  MEMORYSTATUSEX status;
  if (memoryStatus(status)) {
    headroom = resinfo::Percent(status.ullAvailPageFile, status.ullTotalPageFile);
    known |= RESINFO_RESOURCES;
  }
  *level = *second = *third = headroom;
}

void RESINFO_CALL GetCpuStart(void) {
  FILETIME idle, kernel, user;
  const GetSystemTimesFn fn = systemTimes();
  if (!fn || !fn(&idle, &kernel, &user)) return;
  previousCpu = latestCpu;
  latestCpu = resinfo::SystemCpuTimes(ticks(idle), ticks(kernel), ticks(user));
  known |= RESINFO_CPU;
}

std::uint8_t RESINFO_CALL GetCpuUsage(void) {
  cpuBusy = resinfo::BusyPercent(previousCpu, latestCpu, cpuBusy);
  return cpuBusy;
}

std::uint8_t RESINFO_CALL MemoryLoad(void) {
  static std::uint8_t free = 100;
  MEMORYSTATUSEX status;
  if (memoryStatus(status)) {
    free = resinfo::Percent(status.ullAvailPhys, status.ullTotalPhys);
    known |= RESINFO_MEMORY;
  }
  return free;
}

std::uint8_t RESINFO_CALL ReadingsKnown(void) { return known; }

}  // extern "C"
