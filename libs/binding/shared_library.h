// Outside libraries bound by name at run time: the library is loaded by its
// bare file name at the first call of any of its functions, each function is
// looked up by its exported name at its own first call, and both stay bound
// until the process ends. A missing file or entry point is a run-time error
// at the call that needed it.
#pragma once

#include <string>
#include <utility>

#include "runtime_error.h"

// The calling convention of the libraries' exports: the Windows API
// convention on 32-bit Windows, the platform's C convention elsewhere.
#if defined(_WIN32) && defined(__i386__)
#define PLATFORM_LIBCALL __attribute__((stdcall))
#else
#define PLATFORM_LIBCALL
#endif

namespace platform {

// The platform's own way to open a library by file name and find a symbol.
class LibraryLoader {
 public:
  struct Opened {
    void* handle = nullptr;
    bool fileMissing = false;  // the search found no such file
    std::string reason;        // the platform's words, when handle is null
  };
  virtual Opened open(const char* fileName) = 0;
  virtual void* find(void* handle, const char* name) = 0;

 protected:
  ~LibraryLoader() = default;
};

class LazyLibrary {
 public:
  LazyLibrary(LibraryLoader& loader, std::string fileName)
      : loader_(loader), fileName_(std::move(fileName)) {}
  LazyLibrary(const LazyLibrary&) = delete;
  LazyLibrary& operator=(const LazyLibrary&) = delete;

  // Loads the library if this is its first use, then finds `name` in it.
  void* entryPoint(const char* name);
  // The same for a function a library may lack: null where it does.
  void* optionalEntryPoint(const char* name);

 private:
  LibraryLoader& loader_;
  std::string fileName_;
  void* handle_ = nullptr;
};

template <class Signature>
class LazyFunction;

template <class Result, class... Args>
class LazyFunction<Result(Args...)> {
 public:
  using Pointer = Result(PLATFORM_LIBCALL*)(Args...);

  LazyFunction(LazyLibrary& library, const char* name) : library_(library), name_(name) {}

  // Looks the function up if this is its first use; a missing library or
  // entry point is a run-time error here.
  Pointer bind() {
    if (!address_) address_ = reinterpret_cast<Pointer>(library_.entryPoint(name_));
    return address_;
  }
  Result operator()(Args... args) { return bind()(args...); }

 private:
  LazyLibrary& library_;
  const char* name_;
  Pointer address_ = nullptr;
};

}  // namespace platform
