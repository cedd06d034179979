// The program's failure model: an error that no handler traps leaves the
// handler at once (unwinding releases whatever it held), is reported once,
// and ends the program. Backends run every event handler through
// HandlerGuard and supply the report (a message box and standard error).
#pragma once

#include <exception>
#include <string>

namespace platform {

// The numbers users and scripts know the errors by: each report shows it.
enum class ErrorNumber : int {
  Overflow = 6,
  OutOfMemory = 7,
  SubscriptOutOfRange = 9,
  DivisionByZero = 11,
  DllLoadFailed = 48,
  FileNotFound = 53,
  EntryPointNotFound = 453,
};

class RuntimeError : public std::exception {
 public:
  RuntimeError(ErrorNumber number, std::string subject);
  ErrorNumber number() const noexcept { return number_; }
  // The full report: heading, number, message and what it concerns.
  const char* what() const noexcept override { return report_.c_str(); }

 private:
  ErrorNumber number_;
  std::string report_;
};

class ErrorReporter {
 public:
  // Shows the report and ends the program; returns only to let the caller
  // unwind back to the event loop.
  virtual void reportAndEnd(const RuntimeError& error) noexcept = 0;

 protected:
  ~ErrorReporter() = default;
};

class HandlerGuard {
 public:
  explicit HandlerGuard(ErrorReporter& reporter) : reporter_(reporter) {}

  // Once an error is being reported, no further handler runs: the program
  // is ending, and a nested event loop (the report's own message box) must
  // not let a timer tick start again.
  template <class Handler>
  void run(Handler&& handler) noexcept {
    if (ending_) return;
    try {
      handler();
    } catch (const RuntimeError& error) {
      end(error);
    } catch (const std::bad_alloc&) {
      end(RuntimeError(ErrorNumber::OutOfMemory, {}));
    }
  }

  bool ending() const noexcept { return ending_; }
  // The program is ending in good order: no handler runs any more.
  void stop() noexcept { ending_ = true; }

 private:
  void end(const RuntimeError& error) noexcept {
    ending_ = true;
    reporter_.reportAndEnd(error);
  }

  ErrorReporter& reporter_;
  bool ending_ = false;
};

}  // namespace platform
