// Secondary windows (the About window) as Qt top-level windows.
#pragma once

#include "forms.h"
#include "runtime_error.h"

namespace platform::qt {

class QtForms final : public Forms {
 public:
  explicit QtForms(HandlerGuard& guard) : guard_(guard) {}

  FormHost& load(const FormDesign& design, FormHandlers& handlers) override;
  void show(FormHost& form) override;
  void unload(FormHost& form) override;

 private:
  HandlerGuard& guard_;
};

}  // namespace platform::qt
