// The emulated chip. Inside the scripted statistics library (which the
// program loads before its first port call) it is there where
// PELMO_FAKE_CHIP_TEMP is set, holding that value.
#include "fake_chip.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "port_instruction.h"

namespace {

std::uint8_t selected = 0;
std::uint8_t temperature = 0;

LONG CALLBACK emulateChip(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode != EXCEPTION_PRIV_INSTRUCTION) return EXCEPTION_CONTINUE_SEARCH;
  CONTEXT* c = info->ContextRecord;
#if defined(_WIN64)
  DWORD64& ip = c->Rip;
  DWORD64& ax = c->Rax;
  const auto dx = static_cast<std::uint16_t>(c->Rdx);
#else
  DWORD& ip = c->Eip;
  DWORD& ax = c->Eax;
  const auto dx = static_cast<std::uint16_t>(c->Edx);
#endif
  const auto* code = reinterpret_cast<const std::uint8_t*>(ip);
  const platform::win32::PortInstruction in = platform::win32::DecodePortInstruction(code);
  if (in.length == 0 || in.width != 1) return EXCEPTION_CONTINUE_SEARCH;
  const std::uint16_t port = in.immediatePort ? code[in.length - 1] : dx;
  if (in.reads) {
    const std::uint8_t value = port == 0x296 && selected == 0x27 ? temperature : 0xFF;
    ax = (ax & ~static_cast<decltype(+ax)>(0xFF)) | value;
  } else if (port == 0x295) {
    selected = static_cast<std::uint8_t>(ax);
  }
  ip += in.length;
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void* EmulateChip(std::uint8_t value) {
  temperature = value;
  selected = 0;
  return AddVectoredExceptionHandler(1, emulateChip);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  const char* value = std::getenv("PELMO_FAKE_CHIP_TEMP");
  if (reason == DLL_PROCESS_ATTACH && value) EmulateChip(static_cast<std::uint8_t>(std::atoi(value)));
  return TRUE;
}
