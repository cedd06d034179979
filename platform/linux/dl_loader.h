// Libraries opened with the dynamic linker. dlopen searches for a bare file
// name the way the program's own libraries are found: LD_LIBRARY_PATH, then
// the RUNPATH of the object that calls dlopen (this code is linked into the
// program, whose RUNPATH is $ORIGIN), then the system's directories.
#pragma once

#include "shared_library.h"

namespace platform::linux_ {

class DlLoader final : public LibraryLoader {
 public:
  Opened open(const char* fileName) override;
  void* find(void* handle, const char* name) override;
};

}  // namespace platform::linux_
