// Windows made from a design while the program runs (the About window).
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "win32_window.h"

namespace platform::win32 {

class Win32WindowMaker final : public ui::WindowMaker {
 public:
  explicit Win32WindowMaker(HandlerGuard& guard) : guard_(guard) {}

  ui::Window& make(const ui::WindowDesign& design, ui::WindowEvents& events) override;
  void show(ui::Window& window) override;
  void destroy(ui::Window& window) override;

  // Keyboard navigation for the open windows' buttons.
  bool dialogMessage(MSG& message);

 private:
  HandlerGuard& guard_;
  std::vector<std::unique_ptr<Win32Window>> open_;
  // Destroyed from within their own events: freed once those have returned.
  std::vector<std::unique_ptr<Win32Window>> closed_;
  std::vector<Win32Window*> shownBefore_;
  // Per window shown: the program's window that had the keyboard then,
  // which gets it back when this one closes with it.
  std::vector<std::pair<Win32Window*, HWND>> returnFocusTo_;
};

}  // namespace platform::win32
