// The plain decimal text of a number as the labels show it: "-" before a
// negative value and nothing else (no blank, no "+", no separators, no
// leading zeros, no unit).
#pragma once

#include <charconv>
#include <cstdint>
#include <string>

namespace monitor {

inline std::string NumberText(std::int32_t value) {
  char digits[12];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

}  // namespace monitor
