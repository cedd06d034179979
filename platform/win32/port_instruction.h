// The x86 port instructions a fault handler may meet: `in`/`out` with an
// 8-bit immediate port (E4-E7) or the port in DX (EC-EF), either with an
// operand-size prefix (66).
#pragma once

#include <cstdint>

namespace platform::win32 {

struct PortInstruction {
  unsigned length = 0;  // 0: not a port instruction
  bool reads = false;
  unsigned width = 1;   // bytes
  bool immediatePort = false;
};

inline PortInstruction DecodePortInstruction(const std::uint8_t* ip) {
  PortInstruction result;
  const bool operand16 = ip[0] == 0x66;
  const std::uint8_t opcode = ip[operand16 ? 1 : 0];
  if (!(opcode >= 0xE4 && opcode <= 0xE7) && !(opcode >= 0xEC && opcode <= 0xEF)) return result;
  result.immediatePort = opcode <= 0xE7;
  result.length = (operand16 ? 1u : 0u) + (result.immediatePort ? 2u : 1u);
  result.reads = (opcode & 2) == 0;
  result.width = (opcode & 1) ? (operand16 ? 2u : 4u) : 1u;
  return result;
}

}  // namespace platform::win32
