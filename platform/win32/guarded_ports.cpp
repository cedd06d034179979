#include "guarded_ports.h"

#include <windows.h>

#include <cstdint>

#include "port_instruction.h"

namespace platform::win32 {
namespace {

#if defined(_WIN64)
#define PELMO_IP Rip
#define PELMO_AX Rax
#else
#define PELMO_IP Eip
#define PELMO_AX Eax
#endif

// Set only while a port call runs on the program's one thread.
volatile LONG armed = 0;
volatile LONG refused = 0;

LONG CALLBACK stepOverRefusedPort(EXCEPTION_POINTERS* info) {
  if (!armed || info->ExceptionRecord->ExceptionCode != EXCEPTION_PRIV_INSTRUCTION) return EXCEPTION_CONTINUE_SEARCH;
  CONTEXT* context = info->ContextRecord;
  const PortInstruction instruction = DecodePortInstruction(reinterpret_cast<const std::uint8_t*>(context->PELMO_IP));
  if (instruction.length == 0) return EXCEPTION_CONTINUE_SEARCH;
  if (instruction.reads) context->PELMO_AX |= 0xFF;
  context->PELMO_IP += instruction.length;
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
  refused = 0;
  {
    Armed during;
    result = call();
  }
  if (refused) refused_ = true;
  return result;
}

std::int32_t GuardedPorts::writePort(std::int32_t port, std::int32_t value) {
  // Bound even when refused, so a missing library fails the same everywhere.
  library_.BindOutputPort();
  if (refused_) return value & 0xFF;
  return guarded([&] { return library_.writePort(port, value); });
}

std::int32_t GuardedPorts::readPort(std::int32_t port) {
  library_.BindInputPort();
  if (refused_) return -1;
  return guarded([&] { return library_.readPort(port); });
}

}  // namespace platform::win32
