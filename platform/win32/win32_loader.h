// Libraries by bare name through LoadLibraryA: the program's directory
// first, then the system's search path.
#pragma once

#include "shared_library.h"

namespace platform::win32 {

class Win32Loader final : public LibraryLoader {
 public:
  Opened open(const char* fileName) override;
  void* find(void* handle, const char* name) override;
};

}  // namespace platform::win32
