// The monitor window's logic: its state and its event handlers. It reaches
// the window only through FormHost, the statistics only through
// StatsLibrary and the board's chip only through PortLibrary, so it runs
// the same under any backend and under test.
#pragma once

#include <cstdint>

#include "form_host.h"
#include "form1_design.h"
#include "port_library.h"
#include "stats_library.h"

namespace monitor {

class Form1 final : public platform::FormHandlers {
 public:
  Form1(platform::FormHost& window, platform::StatsLibrary& stats, platform::PortLibrary& ports)
      : window_(window), stats_(stats), ports_(ports) {}

  // One sample: the statistics library's readings into the three number
  // labels and the three bars, then the board's temperature.
  void Timer1_Timer();

  void onTimer(int timer) override;

  // The form's module-level variables, zero when the form is created.
  std::int32_t ApiResult = 0;
  std::int16_t TopmostNext = 0;
  std::uint8_t ResLevel1 = 0;
  std::uint8_t ResLevel2 = 0;
  std::uint8_t ResLevel3 = 0;
  std::uint8_t CpuLoad = 0;

 private:
  platform::FormHost& window_;
  platform::StatsLibrary& stats_;
  platform::PortLibrary& ports_;

  // Reads the temperature register of the mainboard's hardware-monitor
  // chip into the "TEM" number.
  void ReadBoardTemperature();
};

// A reading widened without sign to 16 bits, then 100 minus it in signed
// 16-bit arithmetic: -155 to 100.
constexpr std::int16_t Complement(std::uint8_t reading) {
  return static_cast<std::int16_t>(100 - static_cast<std::int16_t>(reading));
}

// Ten twips a percentage point, exactly, in single precision; never clamped.
constexpr float BarWidth(std::int16_t percent) { return static_cast<float>(static_cast<std::int16_t>(percent * 10)); }

}  // namespace monitor
