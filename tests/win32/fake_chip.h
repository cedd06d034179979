// The board's hardware-monitor chip, emulated for the Windows tests: a
// vectored exception handler, first in line, performs the refused in/out at
// ports 0x295/0x296 against a chip whose temperature register (0x27) holds
// the given value.
#pragma once

#include <cstdint>

// Returns the handler, for RemoveVectoredExceptionHandler.
void* EmulateChip(std::uint8_t temperature);
