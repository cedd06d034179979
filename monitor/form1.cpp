#include "form1.h"

#include "number_text.h"
#include "texts.h"

namespace monitor {

using namespace form1;

void Form1::Timer1_Timer() {
  stats_.GetResInfo(ResLevel1, ResLevel2, ResLevel3);
  stats_.GetCpuStart();
  CpuLoad = stats_.GetCpuUsage();

  window_.setCaption(Label3, NumberText(Complement(ResLevel1)));
  // Memory is sampled twice: once for the number, once for the bar.
  window_.setCaption(Label2, NumberText(Complement(stats_.MemoryLoad())));
  window_.setCaption(Label16, NumberText(CpuLoad));
  window_.setWidth(Shape1, BarWidth(Complement(stats_.MemoryLoad())));
  window_.setWidth(Shape3, BarWidth(CpuLoad));
  window_.setWidth(Shape5, BarWidth(Complement(ResLevel1)));
  ReadBoardTemperature();
}

namespace {
constexpr std::int32_t ChipIndexPort = 661;  // 0x295
constexpr std::int32_t ChipDataPort = 662;   // 0x296
constexpr std::int32_t TemperatureRegister = 39;  // 0x27
}  // namespace

void Form1::ReadBoardTemperature() {
  // Select the chip's temperature register, then read it at once.
  ports_.OutputPort(ChipIndexPort, TemperatureRegister);
  const auto reading = static_cast<std::int16_t>(ports_.InputPort(ChipDataPort));
  window_.setCaption(Label5, ports_.ChipAnswers() ? NumberText(reading) : std::string(texts::NoReading));
}

void Form1::onTimer(int timer) {
  if (timer == form1::Timer1) Timer1_Timer();
}

}  // namespace monitor
