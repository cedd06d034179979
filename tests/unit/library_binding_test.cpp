// Binding the statistics library by name: the scripted stand-in is found
// through the ordinary library search (LD_LIBRARY_PATH), functions are bound
// at their first call, and what is missing is a run-time error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dl_loader.h"
#include "proc_parse.h"
#include "stats_library.h"

namespace {

// The test runs with the scripted libraries' directory in LD_LIBRARY_PATH,
// ahead of the real libresinfo.so.
struct Binding : ::testing::Test {
  platform::linux_::DlLoader loader;
  std::filesystem::path script = std::filesystem::temp_directory_path() / "pelmo_binding_script";

  void SetUp() override { setenv("PELMO_FAKE_RESINFO", script.c_str(), 1); }
  void writeScript(const std::string& text) { std::ofstream(script) << text; }
};

TEST_F(Binding, CallsReachTheLibraryFoundByTheSearch) {
  writeScript("GetResInfo 30 7 9\nGetCpuUsage 37\nMemoryLoad 40 41\n");
  platform::BoundStatsLibrary stats(loader);
  EXPECT_EQ(stats.resourcesFreePercent(), 30);
  stats.startCpuSample();
  EXPECT_EQ(stats.cpuBusyPercent(), 37);
  EXPECT_EQ(stats.memoryFreePercent(), 40);
  EXPECT_EQ(stats.memoryFreePercent(), 41);
  EXPECT_EQ(stats.knownReadings(), platform::AllReadingsKnown);
  writeScript("ReadingsKnown 2\n");
  EXPECT_EQ(stats.knownReadings(), platform::CpuKnown);
}

TEST_F(Binding, AMissingLibraryIsFileNotFoundAtTheFirstCall) {
  platform::BoundStatsLibrary stats(loader, "libpelmo-no-such-library.so");
  try {
    stats.resourcesFreePercent();
    FAIL() << "no error";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), platform::ErrorNumber::FileNotFound);
    EXPECT_NE(std::string(e.what()).find("libpelmo-no-such-library.so"), std::string::npos);
  }
}

TEST_F(Binding, AFileThatIsNoLibraryFailsToLoad) {
  const auto bogus = std::filesystem::temp_directory_path() / "libpelmo-bogus.so";
  std::ofstream(bogus) << "not a library";
  platform::BoundStatsLibrary stats(loader, bogus.c_str());
  try {
    stats.startCpuSample();
    FAIL() << "no error";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), platform::ErrorNumber::DllLoadFailed);
  }
}

TEST_F(Binding, AMissingFunctionFailsOnlyAtItsOwnFirstCall) {
  writeScript("GetCpuUsage 12\n");
  platform::BoundStatsLibrary stats(loader, "libresinfo-partial.so");
  stats.startCpuSample();
  EXPECT_EQ(stats.cpuBusyPercent(), 12);
  EXPECT_EQ(stats.knownReadings(), platform::AllReadingsKnown);  // a library may lack this one
  try {
    stats.memoryFreePercent();
    FAIL() << "no error";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), platform::ErrorNumber::EntryPointNotFound);
    EXPECT_NE(std::string(e.what()).find("MemoryLoad"), std::string::npos);
  }
}

std::string fileText(const char* path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The real libresinfo.so, bound by its path: each reading is the kernel's
// of the moment, so memory read right after itself agrees with /proc/meminfo.
TEST(RealStatistics, ReadingsAgreeWithTheKernelsFiles) {
  platform::linux_::DlLoader loader;
  platform::BoundStatsLibrary stats(loader, REAL_RESINFO);
  const auto memoryFree = [] { return *resinfo::MemoryFreePercent(resinfo::ParseMemInfo(fileText("/proc/meminfo"))); };
  for (int sample = 0; sample < 3; ++sample) {
    const int before = memoryFree(), read = stats.memoryFreePercent(), after = memoryFree();
    EXPECT_LE(std::min(before, after) - 1, read);
    EXPECT_GE(std::max(before, after) + 1, read);
  }
  stats.startCpuSample();
  stats.startCpuSample();
  EXPECT_LE(stats.cpuBusyPercent(), 100);
  const int resourcesFree = stats.resourcesFreePercent();
  EXPECT_GT(resourcesFree, 0);  // this machine is not out of tasks or files
  EXPECT_LE(resourcesFree, 100);
  EXPECT_EQ(stats.knownReadings(), platform::AllReadingsKnown);
}

// A loader that counts what it is asked, to see that binding happens once.
struct CountingLoader final : platform::LibraryLoader {
  int opens = 0, finds = 0;
  static std::uint8_t seven() { return 7; }
  Opened open(const char*) override {
    ++opens;
    return {this, false, {}};
  }
  void* find(void*, const char*) override {
    ++finds;
    return reinterpret_cast<void*>(&seven);
  }
};

TEST(LazyBinding, LoadsOnceAndFindsEachFunctionOnce) {
  CountingLoader loader;
  platform::LazyLibrary library(loader, "x");
  platform::LazyFunction<std::uint8_t()> f(library, "f"), g(library, "g");
  EXPECT_EQ(loader.opens, 0);
  EXPECT_EQ(f(), 7);
  EXPECT_EQ(f(), 7);
  EXPECT_EQ(g(), 7);
  EXPECT_EQ(loader.opens, 1);
  EXPECT_EQ(loader.finds, 2);
}

}  // namespace
