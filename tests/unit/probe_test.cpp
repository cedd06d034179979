// The temperature probe: one index write, then one data read, then the
// caption, on every tick.
#include <gtest/gtest.h>

#include <algorithm>

#include "form1_fixture.h"

namespace {

using namespace form1;

using Probe = Form1Fixture;

TEST_F(Probe, TheDataByteIsShownAsASignedNumber) {
  const std::pair<std::uint8_t, const char*> table[] = {
      {0x00, "0"}, {0x2D, "45"}, {0x7F, "127"}, {0x80, "-128"}, {0xF6, "-10"}, {0xFF, "-1"},
  };
  for (const auto& [byte, caption] : table) {
    ports.dataByte = byte;
    form.Timer1_Timer();
    EXPECT_EQ(window.captions[Label5], caption) << "byte " << int(byte);
  }
}

// A chip behind the port library: a write to the index port selects a
// register, a read of the data port gives its byte.
struct RegisterChip final : platform::LibraryLoader {
  static inline std::uint8_t registers[128]{};
  static inline std::int32_t selected = 0;
  static std::int32_t output(std::int32_t port, std::int32_t value) {
    if (port == 0x295) selected = value & 0x7F;
    return value & 0xFF;
  }
  static std::int32_t input(std::int32_t port) { return static_cast<std::int8_t>(port == 0x296 ? registers[selected] : 0xFF); }
  Opened open(const char*) override { return {this, false, {}}; }
  void* find(void*, const char* name) override {
    return std::string_view(name) == "OutputPort" ? reinterpret_cast<void*>(&output) : reinterpret_cast<void*>(&input);
  }
};

TEST_F(Probe, EveryTickShowsTheTemperatureRegisterWhateverWasSelectedBefore) {
  RegisterChip chip;
  std::fill(std::begin(RegisterChip::registers), std::end(RegisterChip::registers), 0x60);
  RegisterChip::registers[0x27] = 45;
  platform::BoundPortLibrary library(chip);
  monitor::Form1 bound({window, stats, library, tray, session, about});
  bound.Timer1_Timer();
  EXPECT_EQ(window.captions[Label5], "45");
  // Between ticks another reader of the chip selects a register of its own.
  RegisterChip::selected = 0x10;
  RegisterChip::registers[0x27] = 50;
  bound.Timer1_Timer();
  EXPECT_EQ(window.captions[Label5], "50");
}

TEST_F(Probe, NoSensorShowsDashesNotANumber) {
  ports.answers = false;
  ports.dataByte = 0xFF;
  form.Timer1_Timer();
  EXPECT_EQ(window.captions[Label5], "--");
  ports.answers = true;
  form.Timer1_Timer();
  EXPECT_EQ(window.captions[Label5], "-1");
}

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

TEST_F(Probe, AMissingLibraryOrEntryPointFailsAfterTheOtherReadings) {
  for (const char* missing : {"OutputPort", "InputPort", "library"}) {
    PortLoader loader;
    loader.exists = std::string_view(missing) != "library";
    loader.missing = missing;
    platform::BoundPortLibrary library(loader);
    monitor::Form1 bound({window, stats, library, tray, session, about});
    window.captions.clear();
    stats.cpu = 33;
    try {
      bound.Timer1_Timer();
      ADD_FAILURE() << "no error without " << missing;
    } catch (const platform::RuntimeError& e) {
      EXPECT_EQ(e.number(), loader.exists ? platform::ErrorNumber::EntryPointNotFound
                                          : platform::ErrorNumber::FileNotFound);
    }
    EXPECT_EQ(window.captions[Label16], "33") << missing;
    EXPECT_EQ(window.captions.count(Label5), 0u) << missing;
  }
  PortLoader complete;
  platform::BoundPortLibrary library(complete);
  monitor::Form1 bound({window, stats, library, tray, session, about});
  bound.Timer1_Timer();
  EXPECT_EQ(window.captions[Label5], "45");
}

}  // namespace
