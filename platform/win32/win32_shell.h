// The shell's "open" operation, passed straight through.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "shell.h"

namespace platform::win32 {

class Win32Shell final : public Shell {
 public:
  std::uint32_t GetDesktopWindow() override {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(::GetDesktopWindow()));
  }
  std::int32_t ShellExecuteA(std::uint32_t owner, std::string_view operation, std::string_view file,
                             const char* parameters, std::string_view directory, int showCommand) override {
    const HINSTANCE result =
        ::ShellExecuteA(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(owner)), std::string(operation).c_str(),
                        std::string(file).c_str(), parameters, std::string(directory).c_str(), showCommand);
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(result));
  }
};

}  // namespace platform::win32
