// The mainboard's hardware-monitor chip as the program reads it: an index
// port that selects a register and a data port that reads it.
#pragma once

#include <cstdint>

namespace chip {

inline constexpr std::int32_t IndexPort = 0x295;
inline constexpr std::int32_t DataPort = 0x296;
inline constexpr std::int32_t TemperatureRegister = 0x27;

}  // namespace chip
