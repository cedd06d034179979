// The statistics library each tick reads: four operations, bound by their
// exported names (GetResInfo, GetCpuStart, GetCpuUsage, MemoryLoad) from an
// outside library ("resinfo.dll" on Windows, "libresinfo.so"
// elsewhere).
#pragma once

#include <cstdint>

#include "shared_library.h"

namespace platform {

// The readings a library has taken at all, or'd; a reading it never took
// (where the system hides its counters) is shown as unknown.
enum ReadingKnown : std::uint8_t { MemoryKnown = 1, CpuKnown = 2, ResourcesKnown = 4, AllReadingsKnown = 7 };

class StatsLibrary {
 public:
  // The free share of system resources, 0..100 (a library may say more).
  virtual std::uint8_t resourcesFreePercent() = 0;
  // Marks the start of the CPU sample cpuBusyPercent ends.
  virtual void startCpuSample() = 0;
  virtual std::uint8_t cpuBusyPercent() = 0;     // busy share, 0..100
  virtual std::uint8_t memoryFreePercent() = 0;  // free share of physical memory, 0..100
  // ReadingKnown bits, after the readings of a tick.
  virtual std::uint8_t knownReadings() { return AllReadingsKnown; }

 protected:
  ~StatsLibrary() = default;
};

#if defined(_WIN32)
inline constexpr const char* StatsLibraryFile = "resinfo.dll";
#else
inline constexpr const char* StatsLibraryFile = "libresinfo.so";
#endif

class BoundStatsLibrary final : public StatsLibrary {
 public:
  explicit BoundStatsLibrary(LibraryLoader& loader, const char* fileName = StatsLibraryFile)
      : library_(loader, fileName) {}

  std::uint8_t resourcesFreePercent() override {
    // The library fills three bytes; the first is the one that means
    // anything.
    std::uint8_t free = 0, unused1 = 0, unused2 = 0;
    getResInfo_(&free, &unused1, &unused2);
    return free;
  }
  void startCpuSample() override { getCpuStart_(); }
  std::uint8_t cpuBusyPercent() override { return getCpuUsage_(); }
  std::uint8_t memoryFreePercent() override { return memoryLoad_(); }
  std::uint8_t knownReadings() override {
    // A library without the function has every reading.
    if (!knownLookedUp_)
      readingsKnown_ = reinterpret_cast<ReadingsKnownFn>(library_.optionalEntryPoint("ReadingsKnown"));
    knownLookedUp_ = true;
    return readingsKnown_ ? readingsKnown_() : std::uint8_t{AllReadingsKnown};
  }

 private:
  using ReadingsKnownFn = std::uint8_t(PLATFORM_LIBCALL*)();
  LazyLibrary library_;
  ReadingsKnownFn readingsKnown_ = nullptr;
  bool knownLookedUp_ = false;
  LazyFunction<void(std::uint8_t*, std::uint8_t*, std::uint8_t*)> getResInfo_{library_, "GetResInfo"};
  LazyFunction<void()> getCpuStart_{library_, "GetCpuStart"};
  LazyFunction<std::uint8_t()> getCpuUsage_{library_, "GetCpuUsage"};
  LazyFunction<std::uint8_t()> memoryLoad_{library_, "MemoryLoad"};
};

}  // namespace platform
