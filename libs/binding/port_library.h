// The port library the temperature probe talks to the mainboard's chip
// through: "pinlatch.dll" on Windows, "libpinlatch.so" elsewhere, bound by
// name at the first port call.
#pragma once

#include <cstdint>

#include "shared_library.h"

namespace platform {

class PortLibrary {
 public:
  // Writes the low byte of `value` to the port; returns that byte.
  virtual std::int32_t OutputPort(std::int32_t port, std::int32_t value) = 0;
  // Reads one byte from the port, sign-extended.
  virtual std::int32_t InputPort(std::int32_t port) = 0;
  // False where it is known that no device answers at the chip's ports, so
  // a reading means nothing.
  virtual bool ChipAnswers() const { return true; }

 protected:
  ~PortLibrary() = default;
};

// Whether a hardware-monitor chip answers at `indexPort`, found as the
// Linux kernel's lm78 and w83781d drivers find one on the ISA bus: nothing
// there reads 0xFF (bit 7, the chip's busy flag, set), while a chip's index
// register reads back in bits 0-6 what was written to it. The index is
// left as it was found.
inline bool IndexRegisterAnswers(PortLibrary& ports, std::int32_t indexPort) {
  const std::int32_t saved = ports.InputPort(indexPort) & 0xFF;
  if (saved & 0x80) return false;
  const std::int32_t probe = ~saved & 0x7F;
  ports.OutputPort(indexPort, probe);
  const bool answers = (ports.InputPort(indexPort) & 0x7F) == probe;
  ports.OutputPort(indexPort, saved);
  return answers;
}

#if defined(_WIN32)
inline constexpr const char* PortLibraryFile = "pinlatch.dll";
#else
inline constexpr const char* PortLibraryFile = "libpinlatch.so";
#endif

class BoundPortLibrary final : public PortLibrary {
 public:
  explicit BoundPortLibrary(LibraryLoader& loader, const char* fileName = PortLibraryFile)
      : library_(loader, fileName) {}

  std::int32_t OutputPort(std::int32_t port, std::int32_t value) override { return outputPort_(port, value); }
  std::int32_t InputPort(std::int32_t port) override { return inputPort_(port); }

  // Binds a function without calling it.
  void BindOutputPort() { outputPort_.bind(); }
  void BindInputPort() { inputPort_.bind(); }

 private:
  LazyLibrary library_;
  LazyFunction<std::int32_t(std::int32_t, std::int32_t)> outputPort_{library_, "OutputPort"};
  LazyFunction<std::int32_t(std::int32_t)> inputPort_{library_, "InputPort"};
};

}  // namespace platform
