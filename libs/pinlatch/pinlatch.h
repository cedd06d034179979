/* pinlatch: one byte in or out at an x86 I/O port.
 *
 * Four plain exports, no state. Each argument and result is one 32-bit
 * integer; on 32-bit Windows they follow the Windows API convention (the
 * callee removes its own arguments). Ports are the low 16 bits of `port`,
 * values the low 8 bits of `value`; nothing is validated. */
#ifndef PINLATCH_H
#define PINLATCH_H

#include <stdint.h>

#if defined(_WIN32)
#define PINLATCH_CALL __stdcall
#define PINLATCH_API /* exported by name through pinlatch.def */
#else
#define PINLATCH_CALL
#define PINLATCH_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The exit procedure of 16-bit Windows libraries, kept for its shape:
 * ignores its argument and returns 1. */
PINLATCH_API int32_t PINLATCH_CALL WEP(int32_t reserved);

/* (n + 1) AND 0xFFFF. Touches no port. */
PINLATCH_API int32_t PINLATCH_CALL Incriment(int32_t n);

/* Reads one byte from the port; the byte comes back sign-extended. */
PINLATCH_API int32_t PINLATCH_CALL InputPort(int32_t port);

/* Writes the low byte of `value` to the port and returns that byte. */
PINLATCH_API int32_t PINLATCH_CALL OutputPort(int32_t port, int32_t value);

#ifdef __cplusplus
}
#endif

#endif
