// The statistics library's exported functions, by plain C name.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define RESINFO_API __attribute__((visibility("default")))
#define RESINFO_CALL

// Free share of the kernel tables a desktop can run out of, in percent:
// the smaller of the next two, the task table, the open-file table.
RESINFO_API void GetResInfo(uint8_t* level, uint8_t* tasksFree, uint8_t* filesFree);
// Takes a snapshot of the CPU counters.
RESINFO_API void GetCpuStart(void);
// Busy share of all CPUs between the last two snapshots, in percent.
RESINFO_API uint8_t GetCpuUsage(void);
// Available share of physical memory, in percent.
RESINFO_API uint8_t MemoryLoad(void);
// Which of the readings above were ever taken (until then each stands at
// its idle value): RESINFO_MEMORY, RESINFO_CPU and RESINFO_RESOURCES or'd.
// A program that finds no such function takes them all as taken.
RESINFO_API uint8_t ReadingsKnown(void);
#define RESINFO_MEMORY 1
#define RESINFO_CPU 2
#define RESINFO_RESOURCES 4

#ifdef __cplusplus
}
#endif
