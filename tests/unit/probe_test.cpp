// The temperature through the port library bound by name: a library or an
// entry point that is missing is a run-time error once the other readings
// are on the window.
#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

using namespace monitor;

// A loader whose library lacks one entry point, or does not exist.
struct PortLoader final : platform::LibraryLoader {
  bool exists = true;
  const char* missing = "";
  std::int32_t selected = 0;
  static std::int32_t output(std::int32_t, std::int32_t value) { return value & 0xFF; }
  static std::int32_t input(std::int32_t) { return 0x2D; }
  Opened open(const char*) override { return exists ? Opened{this, false, {}} : Opened{nullptr, true, "gone"}; }
  void* find(void*, const char* name) override {
    if (std::string_view(name) == missing) return nullptr;
    return std::string_view(name) == "OutputPort" ? reinterpret_cast<void*>(&output) : reinterpret_cast<void*>(&input);
  }
};

TEST(Probe, AMissingLibraryOrEntryPointFailsAfterTheOtherReadings) {
  for (const char* missing : {"OutputPort", "InputPort", "library"}) {
    PortLoader loader;
    loader.exists = std::string_view(missing) != "library";
    loader.missing = missing;
    platform::BoundPortLibrary library(loader);
    fake::Monitor m;
    monitor::MonitorWindow bound({m.window, m.stats, library, m.tray, m.session, m.about});
    m.stats.cpu = 33;
    try {
      bound.onTick();
      ADD_FAILURE() << "no error without " << missing;
    } catch (const platform::RuntimeError& e) {
      EXPECT_EQ(e.number(), loader.exists ? platform::ErrorNumber::EntryPointNotFound
                                          : platform::ErrorNumber::FileNotFound);
    }
    EXPECT_EQ(m.window.texts[CpuValue], "33") << missing;
    EXPECT_EQ(m.window.texts[TemperatureValue], "100") << missing;  // untouched
  }
  PortLoader complete;
  platform::BoundPortLibrary library(complete);
  fake::Monitor m;
  monitor::MonitorWindow bound({m.window, m.stats, library, m.tray, m.session, m.about});
  bound.onTick();
  EXPECT_EQ(m.window.texts[TemperatureValue], "45");
}

}  // namespace
