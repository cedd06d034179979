// The port library as the probe calls it on Windows. On Windows NT and
// later a user-mode `in` or `out` raises EXCEPTION_PRIV_INSTRUCTION, which
// would end the program at its first tick. A vectored exception handler,
// armed only during a port call, steps over the refused instruction (an
// `in` reads 0xFF, as from an empty bus) and the call returns normally, so
// the stack is left as it was. From then on the chip counts as not
// answering ("--") and is not asked again. Where the instructions are
// allowed, or where an earlier handler performs them, the chip is read as
// designed.
#pragma once

#include "port_library.h"

namespace platform::win32 {

class GuardedPorts final : public PortLibrary {
 public:
  explicit GuardedPorts(BoundPortLibrary& library);
  ~GuardedPorts();
  GuardedPorts(const GuardedPorts&) = delete;
  GuardedPorts& operator=(const GuardedPorts&) = delete;

  std::int32_t writePort(std::int32_t port, std::int32_t value) override;
  std::int32_t readPort(std::int32_t port) override;
  bool chipAnswers() const override { return !refused_; }

 private:
  template <class Call>
  std::int32_t guarded(Call&& call);

  BoundPortLibrary& library_;
  void* handler_ = nullptr;
  bool refused_ = false;
};

}  // namespace platform::win32
