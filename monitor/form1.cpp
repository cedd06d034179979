#include "form1.h"

#include "number_text.h"

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
}

void Form1::onTimer(int timer) {
  if (timer == form1::Timer1) Timer1_Timer();
}

}  // namespace monitor
