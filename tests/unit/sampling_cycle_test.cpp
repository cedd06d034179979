#include <gtest/gtest.h>

#include "form1_fixture.h"
#include "number_text.h"

namespace {

using namespace form1;

struct SamplingCycle : Form1Fixture {
  void setAll(std::uint8_t value) { stats.resLevel1 = stats.cpu = stats.memory = value; }
};

TEST_F(SamplingCycle, CallsTheLibraryAndSetsEveryPropertyInOrder) {
  stats.resLevel1 = 37;
  stats.cpu = 12;
  stats.memorySamples = {40, 41};
  form.onTimer(Timer1);
  const fake::Journal expected = {
      "GetResInfo",          "GetCpuStart",         "GetCpuUsage",      "Caption Label3 63",
      "MemoryLoad",          "Caption Label2 60",   "Caption Label16 12", "MemoryLoad",
      "Width Shape1 590",    "Width Shape3 120",    "Width Shape5 630",
      "OutputPort 661 39",   "InputPort 662",       "Caption Label5 45",
  };
  EXPECT_EQ(journal, expected);
}

TEST_F(SamplingCycle, ZeroAndFullReadings) {
  setAll(0);
  form.Timer1_Timer();
  EXPECT_EQ(window.captions[Label2], "100");
  EXPECT_EQ(window.captions[Label3], "100");
  EXPECT_EQ(window.captions[Label16], "0");
  EXPECT_EQ(window.widths[Shape1], 1000.0f);
  EXPECT_EQ(window.widths[Shape5], 1000.0f);
  EXPECT_EQ(window.widths[Shape3], 0.0f);

  setAll(100);
  form.Timer1_Timer();
  EXPECT_EQ(window.captions[Label2], "0");
  EXPECT_EQ(window.captions[Label3], "0");
  EXPECT_EQ(window.captions[Label16], "100");
  EXPECT_EQ(window.widths[Shape1], 0.0f);
  EXPECT_EQ(window.widths[Shape5], 0.0f);
  EXPECT_EQ(window.widths[Shape3], 1000.0f);
}

TEST_F(SamplingCycle, CpuAbove100IsShownAsItComes) {
  stats.cpu = 150;
  form.Timer1_Timer();
  EXPECT_EQ(window.captions[Label16], "150");
  EXPECT_EQ(window.widths[Shape3], 1500.0f);
  stats.cpu = 255;
  form.Timer1_Timer();
  EXPECT_EQ(window.captions[Label16], "255");
  EXPECT_EQ(window.widths[Shape3], 2550.0f);
  EXPECT_EQ(form.CpuLoad, 255);
}

// The readings widen without sign: 255 is 255, not -1, so its complement is
// -155 and its bar -1550 twips, all within 16 bits.
TEST_F(SamplingCycle, ReadingsWidenWithoutSign) {
  stats.resLevel1 = 255;
  stats.memory = 255;
  form.Timer1_Timer();
  EXPECT_EQ(window.captions[Label3], "-155");
  EXPECT_EQ(window.captions[Label2], "-155");
  EXPECT_EQ(window.widths[Shape5], -1550.0f);
  EXPECT_EQ(window.widths[Shape1], -1550.0f);
}

TEST_F(SamplingCycle, TheTwoMemorySamplesAreUsedSeparately) {
  stats.memorySamples = {101, 99};
  form.Timer1_Timer();
  EXPECT_EQ(window.captions[Label2], "-1");
  EXPECT_EQ(window.widths[Shape1], 10.0f);
}

// A negative bar is handed on as it is (the window draws it as zero width)
// and the tick does not stop there.
TEST_F(SamplingCycle, NegativeBarsDoNotEndTheTick) {
  stats.resLevel1 = 120;
  stats.memorySamples = {20, 101};
  form.Timer1_Timer();
  EXPECT_EQ(window.captions[Label3], "-20");
  EXPECT_EQ(window.widths[Shape1], -10.0f);
  EXPECT_EQ(window.widths[Shape5], -200.0f);
  EXPECT_EQ(journal.at(journal.size() - 4), "Width Shape5 -200");
  EXPECT_EQ(journal.back(), "Caption Label5 45");  // and the temperature is still read
}

TEST_F(SamplingCycle, SecondAndThirdResourceBytesChangeNothing) {
  stats.resLevel1 = 30;
  form.Timer1_Timer();
  const fake::Journal first = journal;
  journal.clear();
  stats.resLevel2 = 77;
  stats.resLevel3 = 200;
  form.Timer1_Timer();
  EXPECT_EQ(journal, first);
  EXPECT_EQ(form.ResLevel2, 77);
  EXPECT_EQ(form.ResLevel3, 200);
}

TEST_F(SamplingCycle, EveryTickSetsEveryPropertyEvenWhenNothingChanged) {
  form.Timer1_Timer();
  form.Timer1_Timer();
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "MemoryLoad"), 4);
  EXPECT_EQ(std::count_if(journal.begin(), journal.end(), [](const std::string& s) { return s.starts_with("Caption"); }), 8);
  EXPECT_EQ(std::count_if(journal.begin(), journal.end(), [](const std::string& s) { return s.starts_with("Width"); }), 6);
}

TEST(NumberText, PlainDecimalWithMinusOnly) {
  EXPECT_EQ(monitor::NumberText(0), "0");
  EXPECT_EQ(monitor::NumberText(45), "45");
  EXPECT_EQ(monitor::NumberText(-128), "-128");
  EXPECT_EQ(monitor::NumberText(32767), "32767");
  EXPECT_EQ(monitor::NumberText(-32768), "-32768");
}

}  // namespace
