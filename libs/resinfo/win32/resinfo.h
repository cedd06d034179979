// The statistics library's exported functions on Windows: stdcall, under
// their plain names (linked with --kill-at).
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define RESINFO_API __attribute__((dllexport))
#define RESINFO_CALL __stdcall

// Free share of the commit limit, in percent, into all three.
RESINFO_API void RESINFO_CALL GetResInfo(uint8_t* level, uint8_t* second, uint8_t* third);
// Takes a snapshot of the CPU counters.
RESINFO_API void RESINFO_CALL GetCpuStart(void);
// Busy share of all CPUs between the last two snapshots, in percent.
RESINFO_API uint8_t RESINFO_CALL GetCpuUsage(void);
// Available share of physical memory, in percent.
RESINFO_API uint8_t RESINFO_CALL MemoryLoad(void);
// Which of the readings above were ever taken: RESINFO_MEMORY, RESINFO_CPU
// and RESINFO_RESOURCES or'd.
RESINFO_API uint8_t RESINFO_CALL ReadingsKnown(void);
#define RESINFO_MEMORY 1
#define RESINFO_CPU 2
#define RESINFO_RESOURCES 4

#ifdef __cplusplus
}
#endif
