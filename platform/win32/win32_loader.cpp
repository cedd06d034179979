#include "win32_loader.h"

#include <windows.h>

#include "replace_file.h"

namespace platform::win32 {

LibraryLoader::Opened Win32Loader::open(const char* fileName) {
  // No "cannot find" box on old systems; the program reports it its own way.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(fileName);
  const DWORD error = GetLastError();
  SetErrorMode(previous);
  if (module) return {module, false, {}};
  return {nullptr, error == ERROR_MOD_NOT_FOUND || error == ERROR_FILE_NOT_FOUND, ErrorText(error)};
}

void* Win32Loader::find(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

}  // namespace platform::win32
