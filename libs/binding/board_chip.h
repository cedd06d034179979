// The mainboard's hardware-monitor chip the temperature is read from: the
// register number is written to the index port, then the register's byte is
// read from the data port.
#pragma once

#include <cstdint>

namespace chip {

inline constexpr std::int32_t IndexPort = 0x295;
inline constexpr std::int32_t DataPort = 0x296;
// Holds the CPU temperature in whole degrees Celsius, as a signed byte.
inline constexpr std::int32_t TemperatureRegister = 0x27;

}  // namespace chip
