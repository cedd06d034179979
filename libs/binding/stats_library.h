// The statistics library the sampling cycle reads: four operations, bound by
// name from an outside library ("resinfo.dll" on Windows, "libresinfo.so"
// elsewhere).
#pragma once

#include <cstdint>

#include "shared_library.h"

namespace platform {

class StatsLibrary {
 public:
  // Free share of system resources into the first byte (0..100); the other
  // two bytes may receive anything.
  virtual void GetResInfo(std::uint8_t& level1, std::uint8_t& level2, std::uint8_t& level3) = 0;
  virtual void GetCpuStart() = 0;
  virtual std::uint8_t GetCpuUsage() = 0;  // busy share, 0..100
  virtual std::uint8_t MemoryLoad() = 0;   // free share of physical memory, 0..100

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

  void GetResInfo(std::uint8_t& level1, std::uint8_t& level2, std::uint8_t& level3) override {
    getResInfo_(&level1, &level2, &level3);
  }
  void GetCpuStart() override { getCpuStart_(); }
  std::uint8_t GetCpuUsage() override { return getCpuUsage_(); }
  std::uint8_t MemoryLoad() override { return memoryLoad_(); }

 private:
  LazyLibrary library_;
  LazyFunction<void(std::uint8_t*, std::uint8_t*, std::uint8_t*)> getResInfo_{library_, "GetResInfo"};
  LazyFunction<void()> getCpuStart_{library_, "GetCpuStart"};
  LazyFunction<std::uint8_t()> getCpuUsage_{library_, "GetCpuUsage"};
  LazyFunction<std::uint8_t()> memoryLoad_{library_, "MemoryLoad"};
};

}  // namespace platform
