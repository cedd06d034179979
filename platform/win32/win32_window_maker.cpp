#include "win32_window_maker.h"

#include <algorithm>

namespace platform::win32 {

ui::Window& Win32WindowMaker::make(const ui::WindowDesign& design, ui::WindowEvents& events) {
  closed_.clear();
  open_.push_back(std::make_unique<Win32Window>(design, guard_));
  open_.back()->attach(events);
  return *open_.back();
}

void Win32WindowMaker::show(ui::Window& shown) {
  auto& window = static_cast<Win32Window&>(shown);
  if (const HWND active = GetActiveWindow(); active && active != window.handle()) {
    std::erase_if(returnFocusTo_, [&](const auto& entry) { return entry.first == &window; });
    returnFocusTo_.emplace_back(&window, active);
  }
  if (std::find(shownBefore_.begin(), shownBefore_.end(), &window) == shownBefore_.end()) {
    window.centre();
    shownBefore_.push_back(&window);
  }
  if (IsIconic(window.handle())) ShowWindow(window.handle(), SW_RESTORE);
  ShowWindow(window.handle(), SW_SHOW);
  SetForegroundWindow(window.handle());
}

void Win32WindowMaker::destroy(ui::Window& destroyed) {
  auto& window = static_cast<Win32Window&>(destroyed);
  // Left to itself, Windows hands the keyboard to the next window in line,
  // which may be another program's.
  for (const auto& [each, back] : returnFocusTo_)
    if (each == &window && GetActiveWindow() == window.handle() && IsWindowVisible(back)) SetForegroundWindow(back);
  std::erase_if(returnFocusTo_, [&](const auto& entry) { return entry.first == &window; });
  window.destroy();
  std::erase(shownBefore_, &window);
  for (auto it = open_.begin(); it != open_.end(); ++it) {
    if (it->get() != &window) continue;
    closed_.push_back(std::move(*it));
    open_.erase(it);
    return;
  }
}

bool Win32WindowMaker::dialogMessage(MSG& message) {
  for (const auto& window : open_)
    if (window->dialogMessage(message)) return true;
  return false;
}

}  // namespace platform::win32
