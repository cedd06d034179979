#include "dl_loader.h"

#include <dlfcn.h>

#include <cstring>

namespace platform::linux_ {

LibraryLoader::Opened DlLoader::open(const char* fileName) {
  dlerror();
  if (void* handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL)) return {handle, false, {}};
  const char* error = dlerror();
  Opened failed;
  failed.reason = error ? error : "dlopen";
  // The dynamic linker tells a file it could not find only in its message.
  failed.fileMissing = failed.reason.find(std::strerror(ENOENT)) != std::string::npos;
  return failed;
}

void* DlLoader::find(void* handle, const char* name) { return dlsym(handle, name); }

}  // namespace platform::linux_
