// The mainboard's hardware-monitor chip (board_chip.h), as the probe sees it
// on Linux.
//
// Where the system grants this process exactly those two ports, no kernel
// driver has claimed them and a chip answers there, the probe talks to the
// real chip through the port library. Otherwise (the usual case: the ports need
// CAP_SYS_RAWIO, and a loaded hwmon driver owns the chip) it talks to a
// virtual chip with the same two ports, whose temperature register holds
// the CPU temperature the kernel reports through hwmon. Poking a chip behind
// its driver's back would corrupt the driver's readings.
//
// Either way the port library is bound by name at the first port call, so
// a missing library or entry point fails the same on every machine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "board_chip.h"
#include "port_library.h"
#include "pread_file.h"

namespace platform::linux_ {

// Whether any range in /proc/ioports overlaps first..last.
bool PortsClaimed(std::string_view procIoports, std::uint16_t first, std::uint16_t last);

// Whether the system lets this process use the chip's two ports itself.
bool PortsGranted();

class VirtualChip {
 public:
  explicit VirtualChip(std::filesystem::path sysfsRoot) : sysfsRoot_(std::move(sysfsRoot)) {}

  std::int32_t OutputPort(std::int32_t port, std::int32_t value);
  std::int32_t InputPort(std::int32_t port);
  // Whether a CPU sensor stands behind the temperature register.
  bool HasSensor();

 private:
  std::optional<std::int64_t> readSensor();

  std::filesystem::path sysfsRoot_;
  std::uint8_t selected_ = 0;
  std::optional<PreadFile> sensor_;
  int ticksUntilSearch_ = 0;
};

class BoardPorts final : public PortLibrary {
 public:
  BoardPorts(BoundPortLibrary& library, std::filesystem::path sysfsRoot, std::filesystem::path procIoports,
             std::function<bool()> portsGranted = PortsGranted);

  std::int32_t writePort(std::int32_t port, std::int32_t value) override;
  std::int32_t readPort(std::int32_t port) override;
  bool chipAnswers() const override;

  // Decided once, at the first port call.
  bool direct();

 private:
  BoundPortLibrary& library_;
  VirtualChip chip_;
  std::filesystem::path procIoports_;
  std::function<bool()> portsGranted_;
  std::optional<bool> direct_;
  bool sensor_ = false;
};

}  // namespace platform::linux_
