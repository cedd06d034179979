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
  virtual std::int32_t writePort(std::int32_t port, std::int32_t value) = 0;
  // Reads one byte from the port, sign-extended.
  virtual std::int32_t readPort(std::int32_t port) = 0;
  // False where it is known that no device answers at the chip's ports, so
  // a reading means nothing.
  virtual bool chipAnswers() const { return true; }

 protected:
  ~PortLibrary() = default;
};

#if defined(_WIN32)
inline constexpr const char* PortLibraryFile = "pinlatch.dll";
#else
inline constexpr const char* PortLibraryFile = "libpinlatch.so";
#endif

class BoundPortLibrary final : public PortLibrary {
 public:
  explicit BoundPortLibrary(LibraryLoader& loader, const char* fileName = PortLibraryFile)
      : library_(loader, fileName) {}

  std::int32_t writePort(std::int32_t port, std::int32_t value) override { return outputPort_(port, value); }
  std::int32_t readPort(std::int32_t port) override { return inputPort_(port); }

  // Binds a function without calling it.
  void BindOutputPort() { outputPort_.bind(); }
  void BindInputPort() { inputPort_.bind(); }

 private:
  LazyLibrary library_;
  LazyFunction<std::int32_t(std::int32_t, std::int32_t)> outputPort_{library_, "OutputPort"};
  LazyFunction<std::int32_t(std::int32_t)> inputPort_{library_, "InputPort"};
};

}  // namespace platform
