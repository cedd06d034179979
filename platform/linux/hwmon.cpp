#include "hwmon.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

#include "pread_file.h"

namespace platform::linux_ {
namespace {

namespace fs = std::filesystem;

std::string firstLine(const fs::path& file) {
  PreadFile in(file.string(), 256);
  const std::string_view text = in.read();
  return std::string(text.substr(0, text.find('\n')));
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool containsCpu(std::string_view label) {
  for (size_t i = 0; i + 3 <= label.size(); ++i) {
    const auto up = [&](size_t k) { return static_cast<char>(label[i + k] & ~0x20); };
    if (up(0) == 'C' && up(1) == 'P' && up(2) == 'U') return true;
  }
  return false;
}

// The number in "hwmon12" or "temp3_input", for sorting as people count.
long numberIn(std::string_view name) {
  const size_t digit = name.find_first_of("0123456789");
  long value = 0;
  if (digit != std::string_view::npos) std::from_chars(name.data() + digit, name.data() + name.size(), value);
  return value;
}

}  // namespace

std::optional<int> CpuSensorRank(std::string_view chip, std::string_view label) {
  if (chip == "coretemp") return startsWith(label, "Package id") ? 0 : startsWith(label, "Core") ? 4 : 5;
  if (chip == "k10temp" || chip == "zenpower") {
    if (label == "Tdie") return 0;
    if (label == "Tctl" || label.empty()) return 1;  // Tctl may carry a fan-control offset
    return 5;
  }
  if (chip == "cpu_thermal" || chip == "cpu-thermal" || chip == "cpu0_thermal" || chip == "soc_thermal" ||
      chip == "x86_pkg_temp" || chip == "via_cputemp" || chip == "cpu_thermal_zone")
    return 2;
  if (chip == "acpitz") return 8;
  if (containsCpu(label)) return 6;  // a Super I/O chip's "CPUTIN" and the like
  return std::nullopt;
}

std::optional<fs::path> FindCpuSensor(const fs::path& sysfsRoot) {
  std::error_code ec;
  std::vector<fs::path> chips;
  for (const auto& entry : fs::directory_iterator(sysfsRoot / "class" / "hwmon", ec)) chips.push_back(entry.path());
  std::sort(chips.begin(), chips.end(), [](const fs::path& a, const fs::path& b) {
    return numberIn(a.filename().string()) < numberIn(b.filename().string());
  });

  std::optional<fs::path> best;
  int bestRank = 0;
  for (const fs::path& dir : chips) {
    std::string chip = firstLine(dir / "name");
    if (chip.empty()) chip = firstLine(dir / "device" / "name");  // kernels before 3.15
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
      const std::string name = entry.path().filename().string();
      if (startsWith(name, "temp") && name.size() > 6 && name.ends_with("_input")) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end(), [](const fs::path& a, const fs::path& b) {
      return numberIn(a.filename().string()) < numberIn(b.filename().string());
    });
    for (const fs::path& input : inputs) {
      std::string labelFile = input.filename().string();
      labelFile.replace(labelFile.size() - 6, 6, "_label");
      const auto rank = CpuSensorRank(chip, firstLine(dir / labelFile));
      if (rank && (!best || *rank < bestRank) && ParseMillidegrees(firstLine(input))) {
        best = input;
        bestRank = *rank;
      }
    }
  }
  return best;
}

std::optional<std::int64_t> ParseMillidegrees(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end == text.data()) return std::nullopt;
  const std::string_view rest(end, static_cast<size_t>(text.data() + text.size() - end));
  if (!rest.empty() && rest.front() != '\n') return std::nullopt;
  return value;
}

std::int8_t CelsiusByte(std::int64_t millidegrees) {
  constexpr std::int64_t Top = 127'499, Bottom = -128'499;
  if (millidegrees >= Top) return 127;
  if (millidegrees <= Bottom) return -128;
  const std::int64_t rounded = (millidegrees >= 0 ? millidegrees + 500 : millidegrees - 500) / 1000;
  return static_cast<std::int8_t>(rounded);
}

}  // namespace platform::linux_
