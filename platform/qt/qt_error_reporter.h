// Reports a run-time error on standard error and in a message box, then
// ends the program with status 1.
#pragma once

#include "runtime_error.h"

namespace platform::qt {

class QtErrorReporter final : public ErrorReporter {
 public:
  void reportAndEnd(const RuntimeError& error) noexcept override;
};

}  // namespace platform::qt
