// The CPU temperature the kernel reports through hwmon
// (<sysfs>/class/hwmon/hwmonN/tempK_input, in millidegrees Celsius).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace platform::linux_ {

// How well a sensor stands for the CPU: 0 is best; none for sensors that
// are not the CPU's (disks, graphics cards, wireless chips).
std::optional<int> CpuSensorRank(std::string_view chip, std::string_view label);

// The best CPU sensor's input file below `sysfsRoot`, if there is one.
std::optional<std::filesystem::path> FindCpuSensor(const std::filesystem::path& sysfsRoot);

std::optional<std::int64_t> ParseMillidegrees(std::string_view text);

// Whole degrees, rounded to nearest, clamped to a signed byte.
std::int8_t CelsiusByte(std::int64_t millidegrees);

}  // namespace platform::linux_
