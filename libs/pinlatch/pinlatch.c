/* pinlatch: the port instructions themselves. No state, no allocation, no
 * system call: each port function is one `in` or `out` and the arithmetic
 * around it. The "memory" clobbers keep the compiler from caching memory
 * across a port access, which may have side effects it cannot see. */
#include "pinlatch.h"

int32_t PINLATCH_CALL WEP(int32_t reserved) {
  (void)reserved;
  return 1;
}

int32_t PINLATCH_CALL Incriment(int32_t n) { return (int32_t)(((uint32_t)n + 1u) & 0xFFFFu); }

#if defined(__i386__) || defined(__x86_64__)
int32_t PINLATCH_CALL InputPort(int32_t port) {
  uint8_t value;
  __asm__ volatile("inb %w1, %0" : "=a"(value) : "d"((uint16_t)port) : "memory");
  return (int8_t)value;
}

int32_t PINLATCH_CALL OutputPort(int32_t port, int32_t value) {
  const uint8_t byte = (uint8_t)value;
  __asm__ volatile("outb %0, %w1" : : "a"(byte), "d"((uint16_t)port) : "memory");
  return byte;
}

#else
/* No port instructions on this processor: every port reads as a bus where
 * no device answers (0xFF), and a written byte goes nowhere. */
int32_t PINLATCH_CALL InputPort(int32_t port) {
  (void)port;
  return -1;
}

int32_t PINLATCH_CALL OutputPort(int32_t port, int32_t value) {
  (void)port;
  return (uint8_t)value;
}
#endif

#if defined(_WIN32)
/* The library's entry routine: nothing to set up or tear down, so loading
 * and unloading never fail on its account (TRUE for all four reasons). */
int PINLATCH_CALL PinlatchEntry(void* instance, uint32_t reason, void* reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return 1;
}
#endif
