// Windows made while the program runs (the About window) as Qt top-level
// windows.
#pragma once

#include "runtime_error.h"
#include "window.h"

namespace platform::qt {

class QtWindowMaker final : public ui::WindowMaker {
 public:
  explicit QtWindowMaker(HandlerGuard& guard) : guard_(guard) {}

  ui::Window& make(const ui::WindowDesign& design, ui::WindowEvents& events) override;
  void show(ui::Window& window) override;
  void destroy(ui::Window& window) override;

 private:
  HandlerGuard& guard_;
};

}  // namespace platform::qt
