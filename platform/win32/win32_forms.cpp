#include "win32_forms.h"

#include <algorithm>

namespace platform::win32 {

FormHost& Win32Forms::load(const FormDesign& design, FormHandlers& handlers) {
  closed_.clear();
  open_.push_back(std::make_unique<Win32Form>(design, guard_));
  open_.back()->attach(handlers);
  return *open_.back();
}

void Win32Forms::show(FormHost& host) {
  auto& form = static_cast<Win32Form&>(host);
  if (std::find(shownBefore_.begin(), shownBefore_.end(), &form) == shownBefore_.end()) {
    form.centre();
    shownBefore_.push_back(&form);
  }
  if (IsIconic(form.window())) ShowWindow(form.window(), SW_RESTORE);
  ShowWindow(form.window(), SW_SHOW);
  SetForegroundWindow(form.window());
}

void Win32Forms::unload(FormHost& host) {
  auto& form = static_cast<Win32Form&>(host);
  form.destroy();
  std::erase(shownBefore_, &form);
  for (auto it = open_.begin(); it != open_.end(); ++it) {
    if (it->get() != &form) continue;
    closed_.push_back(std::move(*it));
    open_.erase(it);
    return;
  }
}

bool Win32Forms::dialogMessage(MSG& message) {
  for (const auto& form : open_)
    if (form->dialogMessage(message)) return true;
  return false;
}

}  // namespace platform::win32
