// Links open through the shell's "open" operation, owned by the desktop
// window, the address in the system's ANSI code page.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "shell.h"

namespace platform::win32 {

class Win32Shell final : public Shell {
 public:
  // The shell's call; a test passes one that records what it is asked.
  using ExecuteCall = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  explicit Win32Shell(ExecuteCall execute = ::ShellExecuteA) : execute_(execute) {}

  void openUrl(std::string_view url) override;

 private:
  ExecuteCall execute_;
};

}  // namespace platform::win32
