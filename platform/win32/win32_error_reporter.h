// Run-time errors: the report on standard error and in a message box, then
// the message loop ends.
#pragma once

#include "runtime_error.h"

namespace platform::win32 {

class Win32ErrorReporter final : public ErrorReporter {
 public:
  void reportAndEnd(const RuntimeError& error) noexcept override;
};

// A message box with the program's title; UTF-8 text.
void ShowMessage(const char* utf8, unsigned icon);

}  // namespace platform::win32
