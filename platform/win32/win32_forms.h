// Secondary windows made from a design while the program runs.
#pragma once

#include <memory>
#include <vector>

#include "forms.h"
#include "win32_form.h"

namespace platform::win32 {

class Win32Forms final : public Forms {
 public:
  explicit Win32Forms(HandlerGuard& guard) : guard_(guard) {}

  FormHost& load(const FormDesign& design, FormHandlers& handlers) override;
  void show(FormHost& form) override;
  void unload(FormHost& form) override;

  // Keyboard navigation for the open forms' buttons.
  bool dialogMessage(MSG& message);

 private:
  HandlerGuard& guard_;
  std::vector<std::unique_ptr<Win32Form>> open_;
  // Unloaded from within their own handlers: freed once those have returned.
  std::vector<std::unique_ptr<Win32Form>> closed_;
  std::vector<Win32Form*> shownBefore_;
};

}  // namespace platform::win32
