#include "runtime_error.h"

#include "texts.h"

namespace platform {
namespace {

std::string_view message(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::Overflow: return texts::Overflow;
    case ErrorNumber::OutOfMemory: return texts::OutOfMemory;
    case ErrorNumber::SubscriptOutOfRange: return texts::SubscriptOutOfRange;
    case ErrorNumber::DivisionByZero: return texts::DivisionByZero;
    case ErrorNumber::DllLoadFailed: return texts::LibraryLoadFailed;
    case ErrorNumber::FileNotFound: return texts::FileNotFound;
    case ErrorNumber::EntryPointNotFound: return texts::EntryPointNotFound;
  }
  return {};
}

}  // namespace

RuntimeError::RuntimeError(ErrorNumber number, std::string subject) : number_(number) {
  report_.append(texts::RuntimeErrorHeading)
      .append(" '")
      .append(std::to_string(static_cast<int>(number)))
      .append("':\n\n")
      .append(message(number));
  if (!subject.empty()) report_.append(": ").append(subject);
}

}  // namespace platform
