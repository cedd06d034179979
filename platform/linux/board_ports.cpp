#include "board_ports.h"

#if defined(__i386__) || defined(__x86_64__)
#include <sys/io.h>
#endif

#include <charconv>

#include "hwmon.h"

namespace platform::linux_ {
namespace {

std::optional<unsigned> hex(std::string_view text) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Whether a hardware-monitor chip answers at `indexPort`, found as the
// Linux kernel's lm78 and w83781d drivers find one on the ISA bus: nothing
// there reads 0xFF (bit 7, the chip's busy flag, set), while a chip's index
// register reads back in bits 0-6 what was written to it. The index is
// left as it was found.
bool indexRegisterAnswers(PortLibrary& ports, std::int32_t indexPort) {
  const std::int32_t saved = ports.readPort(indexPort) & 0xFF;
  if (saved & 0x80) return false;
  const std::int32_t probe = ~saved & 0x7F;
  ports.writePort(indexPort, probe);
  const bool answers = (ports.readPort(indexPort) & 0x7F) == probe;
  ports.writePort(indexPort, saved);
  return answers;
}

// While no sensor is found the chip looks again now and then (a driver may
// be loaded later), not at every read.
constexpr int ReadsBetweenSearches = 60;

}  // namespace

// Other processors have no port instructions: their chip is always virtual.
bool PortsGranted() {
#if defined(__i386__) || defined(__x86_64__)
  return ioperm(chip::IndexPort, 2, 1) == 0;
#else
  return false;
#endif
}

bool PortsClaimed(std::string_view procIoports, std::uint16_t first, std::uint16_t last) {
  // Lines look like "  0290-0297 : nct6775", nested by indentation.
  while (!procIoports.empty()) {
    const size_t end = procIoports.find('\n');
    std::string_view line = procIoports.substr(0, end);
    procIoports.remove_prefix(end == std::string_view::npos ? procIoports.size() : end + 1);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    const size_t dash = line.find('-'), colon = line.find(" :");
    if (dash == std::string_view::npos || colon == std::string_view::npos || dash > colon) continue;
    const auto from = hex(line.substr(0, dash));
    const auto to = hex(line.substr(dash + 1, colon - dash - 1));
    if (from && to && *from <= last && *to >= first) return true;
  }
  return false;
}

std::int32_t VirtualChip::OutputPort(std::int32_t port, std::int32_t value) {
  const auto byte = static_cast<std::uint8_t>(value);
  if (static_cast<std::uint16_t>(port) == chip::IndexPort) selected_ = byte;
  return byte;
}

std::int32_t VirtualChip::InputPort(std::int32_t port) {
  if (static_cast<std::uint16_t>(port) == chip::DataPort && selected_ == chip::TemperatureRegister)
    if (const auto millidegrees = readSensor()) return CelsiusByte(*millidegrees);
  return -1;  // 0xFF, sign-extended: no device answers
}

bool VirtualChip::HasSensor() { return sensor_.has_value(); }

std::optional<std::int64_t> VirtualChip::readSensor() {
  if (!sensor_) {
    if (ticksUntilSearch_ > 0) {
      --ticksUntilSearch_;
      return std::nullopt;
    }
    ticksUntilSearch_ = ReadsBetweenSearches;
    const auto found = FindCpuSensor(sysfsRoot_);
    if (!found) return std::nullopt;
    sensor_.emplace(found->string(), 64);
  }
  const auto value = ParseMillidegrees(sensor_->read());
  if (!value) sensor_.reset();  // gone (the driver was unloaded): search again
  return value;
}

BoardPorts::BoardPorts(BoundPortLibrary& library, std::filesystem::path sysfsRoot, std::filesystem::path procIoports,
                       std::function<bool()> portsGranted)
    : library_(library), chip_(std::move(sysfsRoot)), procIoports_(std::move(procIoports)),
      portsGranted_(std::move(portsGranted)) {}

bool BoardPorts::direct() {
  if (!direct_) {
    PreadFile ioports(procIoports_.string(), 65536);
    // Granted ports with nothing behind them (an empty ISA bus reads 0xFF)
    // would show -1 as a temperature: the virtual chip stands in.
    direct_ = !PortsClaimed(ioports.read(), chip::IndexPort, chip::DataPort) && portsGranted_() &&
              indexRegisterAnswers(library_, chip::IndexPort);
  }
  return *direct_;
}

std::int32_t BoardPorts::writePort(std::int32_t port, std::int32_t value) {
  library_.BindOutputPort();
  return direct() ? library_.writePort(port, value) : chip_.OutputPort(port, value);
}

std::int32_t BoardPorts::readPort(std::int32_t port) {
  library_.BindInputPort();
  if (direct()) return library_.readPort(port);
  const std::int32_t value = chip_.InputPort(port);
  sensor_ = chip_.HasSensor();
  return value;
}

bool BoardPorts::chipAnswers() const { return direct_.value_or(false) || sensor_; }

}  // namespace platform::linux_
