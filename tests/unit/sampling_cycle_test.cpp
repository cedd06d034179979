// Each tick's readings as the window shows them: the numbers' texts and the
// bars' widths.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "number_text.h"

namespace {

using namespace monitor;

struct SamplingCycle : ::testing::Test, fake::Monitor {
  void tick() { logic.onTimer(SampleTimer); }
};

TEST_F(SamplingCycle, FreeSharesShowAsUsedPercentTheCpuAsItComes) {
  stats.resourcesFree = 37;
  stats.memoryFree = 40;
  stats.cpu = 12;
  tick();
  EXPECT_EQ(window.texts[ResourcesValue], "63");
  EXPECT_EQ(window.texts[MemoryValue], "60");
  EXPECT_EQ(window.texts[CpuValue], "12");
  EXPECT_EQ(window.widths[ResourcesBar], 630.0f);
  EXPECT_EQ(window.widths[MemoryBar], 600.0f);
  EXPECT_EQ(window.widths[CpuBar], 120.0f);
  EXPECT_EQ(window.texts[TemperatureValue], "45");  // 0x2D from the chip's register
  EXPECT_EQ(stats.memoryReads, 1);  // number and bar from one reading
}

TEST_F(SamplingCycle, ZeroAndFullReadings) {
  tick();
  EXPECT_EQ(window.texts[MemoryValue], "100");
  EXPECT_EQ(window.texts[CpuValue], "0");
  EXPECT_EQ(window.widths[MemoryBar], 1000.0f);
  EXPECT_EQ(window.widths[CpuBar], 0.0f);
  stats.resourcesFree = stats.memoryFree = stats.cpu = 100;
  tick();
  EXPECT_EQ(window.texts[ResourcesValue], "0");
  EXPECT_EQ(window.widths[ResourcesBar], 0.0f);
  EXPECT_EQ(window.texts[CpuValue], "100");
  EXPECT_EQ(window.widths[CpuBar], 1000.0f);
}

// A library that says more than 100: the CPU as it comes, a free share of
// 255 (not -1) as -155 % used, its bar handed on below zero (the window
// draws it as none) and the tick goes on to the temperature.
TEST_F(SamplingCycle, ReadingsAbove100AreShownAsTheyCome) {
  stats.cpu = 255;
  stats.resourcesFree = 255;
  stats.memoryFree = 101;
  ports.dataByte = 0x30;
  tick();
  EXPECT_EQ(window.texts[CpuValue], "255");
  EXPECT_EQ(window.widths[CpuBar], 2550.0f);
  EXPECT_EQ(window.texts[ResourcesValue], "-155");
  EXPECT_EQ(window.widths[ResourcesBar], -1550.0f);
  EXPECT_EQ(window.texts[MemoryValue], "-1");
  EXPECT_EQ(window.widths[MemoryBar], -10.0f);
  EXPECT_EQ(window.texts[TemperatureValue], "48");
}

// Where the system hides its counters the library never takes a reading:
// dashes and no bar, not the idle value it stands at, heard as unknown.
TEST_F(SamplingCycle, AReadingNeverTakenShowsDashes) {
  stats.known = platform::MemoryKnown;
  stats.memoryFree = 40;
  tick();
  EXPECT_EQ(window.texts[MemoryValue] + " " + window.texts[CpuValue] + " " + window.texts[ResourcesValue], "60 -- --");
  EXPECT_TRUE(window.widths[CpuBar] == 0 && window.widths[ResourcesBar] == 0);
  EXPECT_EQ(window.spoken[CpuValue], "CPU使用率 は 測定できません");
}

TEST_F(SamplingCycle, TheTemperatureIsSignedAndDashesWithoutAChip) {
  const std::pair<std::uint8_t, const char*> table[] = {
      {0x00, "0"}, {0x7F, "127"}, {0x80, "-128"}, {0xF6, "-10"}, {0xFF, "-1"},
  };
  for (const auto& [byte, shown] : table) {
    ports.dataByte = byte;
    tick();
    EXPECT_EQ(window.texts[TemperatureValue], shown) << "byte " << int(byte);
  }
  ports.answers = false;
  tick();
  EXPECT_EQ(window.texts[TemperatureValue], "--");
  EXPECT_EQ(window.texts[TemperatureCaption], "TEM");  // captions stay
}

// A screen reader hears each reading as its meaning, the number as shown
// and the unit, from the window's opening on; "--" becomes words.
TEST_F(SamplingCycle, EachReadingIsSpokenAsShown) {
  logic.onOpen();
  EXPECT_EQ(window.spoken[CpuValue], "CPU使用率 100 %");
  stats.cpu = 12;
  stats.memoryFree = 59;
  tick();
  EXPECT_EQ(window.spoken[CpuValue], "CPU使用率 12 %");
  EXPECT_EQ(window.spoken[MemoryValue], "物理メモリ使用率 41 %");
  EXPECT_EQ(window.spoken[ResourcesValue], "システムリソース使用率 100 %");
  EXPECT_EQ(window.spoken[TemperatureValue], "CPU温度 45 ℃");
  ports.answers = false;
  tick();
  EXPECT_EQ(window.spoken[TemperatureValue], "CPU温度 は 測定できません");
  EXPECT_EQ(window.spoken.size(), 4u);  // nothing else is named
}

TEST(NumberText, PlainDecimalWithMinusOnly) {
  EXPECT_EQ(monitor::NumberText(0), "0");
  EXPECT_EQ(monitor::NumberText(45), "45");
  EXPECT_EQ(monitor::NumberText(-32768), "-32768");
}

}  // namespace
