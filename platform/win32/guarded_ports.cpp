#include "guarded_ports.h"

#include <windows.h>

#include <cstdint>

namespace platform::win32 {
namespace {

// Set only while a port call runs on the program's one thread.
volatile LONG armed = 0;
volatile LONG refused = 0;

// The length of a port instruction at `ip`, or 0 for anything else.
DWORD portInstructionLength(const std::uint8_t* ip, bool& reads) {
  DWORD length = ip[0] == 0x66 ? 1 : 0;
  const std::uint8_t opcode = ip[length];
  reads = opcode == 0xE4 || opcode == 0xE5 || opcode == 0xEC || opcode == 0xED;
  if (opcode >= 0xE4 && opcode <= 0xE7) return length + 2;
  if (opcode >= 0xEC && opcode <= 0xEF) return length + 1;
  return 0;
}

LONG CALLBACK stepOverRefusedPort(EXCEPTION_POINTERS* info) {
  if (!armed || info->ExceptionRecord->ExceptionCode != EXCEPTION_PRIV_INSTRUCTION) return EXCEPTION_CONTINUE_SEARCH;
  CONTEXT* context = info->ContextRecord;
  bool reads = false;
  const DWORD length = portInstructionLength(reinterpret_cast<const std::uint8_t*>(context->Eip), reads);
  if (length == 0) return EXCEPTION_CONTINUE_SEARCH;
  if (reads) context->Eax |= 0xFF;
  context->Eip += length;
  refused = 1;
  return EXCEPTION_CONTINUE_EXECUTION;
}

struct Armed {
  Armed() { armed = 1; }
  ~Armed() { armed = 0; }
};

}  // namespace

GuardedPorts::GuardedPorts(BoundPortLibrary& library) : library_(library) {
  // Last in line: a handler that emulates the chip comes first.
  handler_ = AddVectoredExceptionHandler(0, stepOverRefusedPort);
}

GuardedPorts::~GuardedPorts() {
  if (handler_) RemoveVectoredExceptionHandler(handler_);
}

template <class Call>
std::int32_t GuardedPorts::guarded(Call&& call) {
  std::int32_t result;
  {
    Armed during;
    result = call();
  }
  if (refused) refused_ = true;
  return result;
}

std::int32_t GuardedPorts::OutputPort(std::int32_t port, std::int32_t value) {
  // Bound even when refused, so a missing library fails the same everywhere.
  library_.BindOutputPort();
  if (refused_) return value & 0xFF;
  return guarded([&] { return library_.OutputPort(port, value); });
}

std::int32_t GuardedPorts::InputPort(std::int32_t port) {
  library_.BindInputPort();
  if (refused_) return -1;
  return guarded([&] { return library_.InputPort(port); });
}

}  // namespace platform::win32
