#include "qt_window_maker.h"

#include "qt_window.h"

namespace platform::qt {

ui::Window& QtWindowMaker::make(const ui::WindowDesign& design, ui::WindowEvents& events) {
  auto* window = new QtWindow(design, guard_);
  window->attach(events);
  return *window;
}

void QtWindowMaker::show(ui::Window& window) { static_cast<QtWindow&>(window).showCentredOnce(); }

void QtWindowMaker::destroy(ui::Window& window) {
  // Destroyed from inside its own button's event: the widgets go once that
  // has returned.
  auto& qtWindow = static_cast<QtWindow&>(window);
  qtWindow.hideReturningFocus();
  qtWindow.deleteLater();
}

}  // namespace platform::qt
