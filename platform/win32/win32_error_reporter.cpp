#include "win32_error_reporter.h"

#include <windows.h>

#include <cstdio>

#include "ansi_text.h"
#include "texts.h"

namespace platform::win32 {

void ShowMessage(const char* utf8, unsigned icon) {
  MessageBoxW(nullptr, Widen(utf8).c_str(), Widen(texts::ErrorBoxTitle).c_str(),
              MB_OK | MB_SETFOREGROUND | MB_TASKMODAL | icon);
}

void Win32ErrorReporter::reportAndEnd(const RuntimeError& error) noexcept {
  std::fprintf(stderr, "%s\n", error.what());
  std::fflush(stderr);
  ShowMessage(error.what(), MB_ICONERROR);
  PostQuitMessage(1);
}

}  // namespace platform::win32
