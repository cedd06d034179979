#include "shared_library.h"

namespace platform {

void* LazyLibrary::entryPoint(const char* name) {
  void* address = optionalEntryPoint(name);
  if (!address) throw RuntimeError(ErrorNumber::EntryPointNotFound, std::string(name) + " / " + fileName_);
  return address;
}

void* LazyLibrary::optionalEntryPoint(const char* name) {
  if (!handle_) {
    LibraryLoader::Opened opened = loader_.open(fileName_.c_str());
    if (!opened.handle) {
      if (opened.fileMissing) throw RuntimeError(ErrorNumber::FileNotFound, fileName_);
      throw RuntimeError(ErrorNumber::DllLoadFailed, fileName_ + " (" + opened.reason + ")");
    }
    handle_ = opened.handle;
  }
  return loader_.find(handle_, name);
}

}  // namespace platform
