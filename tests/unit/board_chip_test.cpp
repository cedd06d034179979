// The CPU sensor behind the virtual chip, chosen from fixture sysfs trees,
// and the choice between the real ports and the virtual chip.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "board_ports.h"
#include "hwmon.h"

namespace {

namespace fs = std::filesystem;
using namespace platform::linux_;

// A sysfs tree of its own for each test.
struct SysfsTree : ::testing::Test {
  fs::path root = fs::temp_directory_path() / ("pelmo-sysfs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
  void SetUp() override { fs::remove_all(root); }
  void TearDown() override { fs::remove_all(root); }

  void write(const fs::path& relative, const std::string& text) {
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative) << text;
  }
  // hwmonN with a chip name and temperature inputs {index, label, value}.
  void chip(int n, const std::string& name, std::initializer_list<std::tuple<int, std::string, std::string>> temps) {
    const fs::path dir = fs::path("class/hwmon") / ("hwmon" + std::to_string(n));
    if (!name.empty()) write(dir / "name", name + "\n");
    for (const auto& [index, label, value] : temps) {
      const std::string base = "temp" + std::to_string(index);
      if (!label.empty()) write(dir / (base + "_label"), label + "\n");
      write(dir / (base + "_input"), value);
    }
  }
  std::string chosen() {
    const auto found = FindCpuSensor(root);
    return found ? fs::relative(*found, root / "class/hwmon").string() : "none";
  }
};

TEST_F(SysfsTree, PrefersThePackageSensorOverCoresAndAcpi) {
  chip(0, "acpitz", {{1, "", "27800\n"}});
  chip(1, "nvme", {{1, "Composite", "38850\n"}});
  chip(2, "coretemp", {{2, "Core 0", "51000\n"}, {1, "Package id 0", "53000\n"}, {3, "Core 1", "50000\n"}});
  EXPECT_EQ(chosen(), "hwmon2/temp1_input");
}

TEST_F(SysfsTree, AmdDieBeforeControlTemperatureAndNumericOrder) {
  chip(10, "k10temp", {{1, "Tctl", "61000\n"}, {2, "Tdie", "51000\n"}});
  chip(2, "amdgpu", {{1, "edge", "45000\n"}});
  EXPECT_EQ(chosen(), "hwmon10/temp2_input");
}

TEST_F(SysfsTree, FallsBackToACpiThermalZoneAndOldStyleNames) {
  chip(0, "acpitz", {{1, "", "40000\n"}});
  EXPECT_EQ(chosen(), "hwmon0/temp1_input");
  // Kernels before 3.15 keep the name under device/.
  write("class/hwmon/hwmon1/device/name", "cpu_thermal\n");
  write("class/hwmon/hwmon1/temp1_input", "45000\n");
  EXPECT_EQ(chosen(), "hwmon1/temp1_input");
}

TEST_F(SysfsTree, NoCpuSensorMissingOrGarbageFiles) {
  EXPECT_EQ(chosen(), "none");  // no class/hwmon at all
  chip(0, "nvme", {{1, "Composite", "38850\n"}});
  chip(1, "iwlwifi_1", {{1, "", "40000\n"}});
  EXPECT_EQ(chosen(), "none");
  chip(2, "coretemp", {{1, "Package id 0", "N/A\n"}});  // unreadable value: skipped
  chip(3, "", {{1, "CPU Temp", "48000\n"}});           // no name at all, but a CPU label
  EXPECT_EQ(chosen(), "hwmon3/temp1_input");
}

TEST(Hwmon, MillidegreesToASignedByte) {
  EXPECT_EQ(ParseMillidegrees("45000\n"), 45000);
  EXPECT_EQ(ParseMillidegrees("-5500"), -5500);
  EXPECT_FALSE(ParseMillidegrees(""));
  EXPECT_FALSE(ParseMillidegrees("45.5\n"));
  EXPECT_FALSE(ParseMillidegrees("hot\n"));
  EXPECT_FALSE(ParseMillidegrees("99999999999999999999999\n"));
  EXPECT_EQ(CelsiusByte(45000), 45);
  EXPECT_EQ(CelsiusByte(45499), 45);
  EXPECT_EQ(CelsiusByte(45500), 46);
  EXPECT_EQ(CelsiusByte(-5500), -6);
  EXPECT_EQ(CelsiusByte(127499), 127);
  EXPECT_EQ(CelsiusByte(200000), 127);
  EXPECT_EQ(CelsiusByte(INT64_MAX), 127);
  EXPECT_EQ(CelsiusByte(-128000), -128);
  EXPECT_EQ(CelsiusByte(INT64_MIN), -128);
}

TEST(Ioports, AnyOverlappingRangeClaimsTheChip) {
  const char* withDriver =
      "0000-0cf7 : PCI Bus 0000:00\n"
      "  0290-029f : pnp 00:06\n"
      "    0295-0296 : nct6775\n"
      "03c0-03df : vga+\n";
  EXPECT_TRUE(PortsClaimed(withDriver, 0x295, 0x296));
  EXPECT_TRUE(PortsClaimed("0296-0300 : x\n", 0x295, 0x296));
  EXPECT_FALSE(PortsClaimed("0000-0294 : a\n0297-02ff : b\n", 0x295, 0x296));
  EXPECT_FALSE(PortsClaimed("", 0x295, 0x296));
  EXPECT_FALSE(PortsClaimed("garbage\nzz-yy : q\n", 0x295, 0x296));
}

struct NoLibraryNeeded final : platform::LibraryLoader {
  static std::int32_t trap(std::int32_t) { throw std::logic_error("the real port was touched"); }
  Opened open(const char*) override { return {this, false, {}}; }
  void* find(void*, const char*) override { return reinterpret_cast<void*>(&trap); }
};

TEST_F(SysfsTree, TheVirtualChipAnswersTheTemperatureRegisterOnly) {
  chip(0, "coretemp", {{1, "Package id 0", "47600\n"}});
  write("ioports", "0295-0296 : nct6775\n");  // a driver owns the chip: never poke it
  NoLibraryNeeded loader;
  platform::BoundPortLibrary library(loader);
  BoardPorts ports(library, root, root / "ioports");
  EXPECT_EQ(ports.writePort(0x295, 0x27), 0x27);
  EXPECT_EQ(ports.readPort(0x296), 48);
  EXPECT_FALSE(ports.direct());
  EXPECT_TRUE(ports.chipAnswers());
  EXPECT_EQ(ports.writePort(0x295 + 0x10000, 0x127), 0x27);  // upper bits ignored
  EXPECT_EQ(ports.readPort(0x296), 48);
  ports.writePort(0x295, 0x28);
  EXPECT_EQ(ports.readPort(0x296), -1);  // other registers read as 0xFF
  ports.writePort(0x295, 0x27);
  EXPECT_EQ(ports.readPort(0x295), -1);
  write("class/hwmon/hwmon0/temp1_input", "-3000\n");
  EXPECT_EQ(ports.readPort(0x296), -3);
}

TEST_F(SysfsTree, WithoutASensorTheChipDoesNotAnswer) {
  chip(0, "nvme", {{1, "Composite", "38850\n"}});
  NoLibraryNeeded loader;
  platform::BoundPortLibrary library(loader);
  BoardPorts ports(library, root, root / "no-ioports");
  ports.writePort(0x295, 0x27);
  EXPECT_EQ(ports.readPort(0x296), -1);
  // Unless this test runs with port access granted, the chip is virtual.
  if (!ports.direct()) {
    EXPECT_FALSE(ports.chipAnswers());
  }
}

// The ports as the port library sees them where the system grants them:
// an empty ISA bus, or a chip whose index register latches bits 0-6 and
// whose temperature register holds 41.
struct IsaBus final : platform::LibraryLoader {
  static inline bool chip = false;
  static inline std::int32_t index = 0;
  static std::int32_t out(std::int32_t port, std::int32_t value) {
    if (chip && port == 0x295) index = value & 0x7F;
    return value & 0xFF;
  }
  static std::int32_t in(std::int32_t port) {
    if (!chip) return -1;
    if (port == 0x295) return index;
    return index == 0x27 ? 41 : 0;
  }
  Opened open(const char*) override { return {this, false, {}}; }
  void* find(void*, const char* name) override {
    return std::string_view(name) == "OutputPort" ? reinterpret_cast<void*>(&out) : reinterpret_cast<void*>(&in);
  }
};

TEST_F(SysfsTree, GrantedPortsWithNoChipBehindThemFallBackToTheVirtualChip) {
  chip(0, "coretemp", {{1, "Package id 0", "52000\n"}});
  IsaBus bus;
  platform::BoundPortLibrary library(bus);
  const auto granted = [] { return true; };

  IsaBus::chip = false;  // nothing answers: 0xFF everywhere
  BoardPorts empty(library, root, root / "no-ioports", granted);
  empty.writePort(0x295, 0x27);
  EXPECT_FALSE(empty.direct());
  EXPECT_EQ(empty.readPort(0x296), 52);
  EXPECT_TRUE(empty.chipAnswers());

  IsaBus::chip = true;
  IsaBus::index = 0x4F;
  BoardPorts real(library, root, root / "no-ioports", granted);
  EXPECT_TRUE(real.direct());
  EXPECT_EQ(IsaBus::index, 0x4F);  // the probe leaves the index as it found it
  real.writePort(0x295, 0x27);
  EXPECT_EQ(real.readPort(0x296), 41);
  EXPECT_TRUE(real.chipAnswers());

  fs::remove_all(root / "class");  // and no sensor either: "--", not -1
  IsaBus::chip = false;
  BoardPorts nothing(library, root, root / "no-ioports", granted);
  nothing.writePort(0x295, 0x27);
  nothing.readPort(0x296);
  EXPECT_FALSE(nothing.chipAnswers());
}

}  // namespace
