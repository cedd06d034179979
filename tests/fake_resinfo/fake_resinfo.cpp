// A statistics library for tests, put in the real one's place through the
// library search path. Its readings come from the script file named by
// PELMO_FAKE_RESINFO, read anew at every call so a test can change them
// while the program runs:
//   GetResInfo 30 7 9
//   GetCpuUsage 37
//   MemoryLoad 40 41      (successive calls take the values in turn)
//   ReadingsKnown 5       (every reading when the script leaves it out)
// Each call is appended to the file named by PELMO_FAKE_RESINFO_LOG.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resinfo.h"

namespace {

std::vector<int> scripted(const char* function) {
  std::vector<int> values;
  const char* path = std::getenv("PELMO_FAKE_RESINFO");
  std::FILE* f = path ? std::fopen(path, "r") : nullptr;
  if (!f) return values;
  char line[256];
  while (std::fgets(line, sizeof line, f)) {
    char* rest = line;
    const char* name = strtok_r(line, " \t\r\n", &rest);
    if (!name || std::strcmp(name, function) != 0) continue;
    while (const char* field = strtok_r(nullptr, " \t\r\n", &rest)) values.push_back(std::atoi(field));
  }
  std::fclose(f);
  return values;
}

void log(const char* call) {
  const char* path = std::getenv("PELMO_FAKE_RESINFO_LOG");
  if (std::FILE* f = path ? std::fopen(path, "a") : nullptr) {
    std::fprintf(f, "%s\n", call);
    std::fclose(f);
  }
}

int take(const char* function, unsigned& turn) {
  const std::vector<int> values = scripted(function);
  if (values.empty()) return 0;
  return values[turn++ % values.size()];
}

}  // namespace

extern "C" {

void RESINFO_CALL GetResInfo(uint8_t* level, uint8_t* second, uint8_t* third) {
  log("GetResInfo");
  const std::vector<int> values = scripted("GetResInfo");
  *level = static_cast<uint8_t>(values.size() > 0 ? values[0] : 0);
  *second = static_cast<uint8_t>(values.size() > 1 ? values[1] : 0);
  *third = static_cast<uint8_t>(values.size() > 2 ? values[2] : 0);
}

void RESINFO_CALL GetCpuStart(void) { log("GetCpuStart"); }

uint8_t RESINFO_CALL GetCpuUsage(void) {
  static unsigned cpuTurn = 0;
  log("GetCpuUsage");
  return static_cast<uint8_t>(take("GetCpuUsage", cpuTurn));
}

#ifndef FAKE_RESINFO_WITHOUT_MEMORYLOAD
uint8_t RESINFO_CALL MemoryLoad(void) {
  static unsigned memoryTurn = 0;
  log("MemoryLoad");
  return static_cast<uint8_t>(take("MemoryLoad", memoryTurn));
}

uint8_t RESINFO_CALL ReadingsKnown(void) {
  const std::vector<int> values = scripted("ReadingsKnown");
  return static_cast<uint8_t>(values.empty() ? RESINFO_MEMORY | RESINFO_CPU | RESINFO_RESOURCES : values[0]);
}
#endif

}  // extern "C"
