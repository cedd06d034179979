// libFuzzer target for the settings reader: whatever the bytes, it must not
// crash, and it may accept only text that holds three numbers which it then
// reports faithfully (written back and read again, they come out the same);
// what it rejects is reported without a single control byte.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto result = monitor::ParseSettings(text);
  const auto* settings = std::get_if<monitor::Settings>(&result);
  if (!settings) {
    const std::string report = monitor::DescribeProblem(std::get<monitor::SettingsProblem>(result));
    if (std::any_of(report.begin(), report.end(), [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; }))
      std::abort();
    return 0;
  }

  // Three numbers need three digits.
  if (std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) < 3) std::abort();
  // What was accepted survives a write and a read (positions beyond seven
  // significant digits lose precision as singles, so those are left out).
  if (std::abs(settings->top) < 10'000'000 && std::abs(settings->left) < 10'000'000) {
    const auto again = monitor::ParseSettings(monitor::FormatSettings(static_cast<float>(settings->top),
                                                                      static_cast<float>(settings->left),
                                                                      settings->alwaysOnTop));
    const auto* s = std::get_if<monitor::Settings>(&again);
    if (!s || s->top != settings->top || s->left != settings->left || s->alwaysOnTop != settings->alwaysOnTop)
      std::abort();
  }
  return 0;
}
