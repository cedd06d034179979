// The About window's logic: opening (at most one window), the links'
// highlight under the pointer or the keyboard's focus, opening a link, and
// OK.
#pragma once

#include "about_design.h"
#include "shell.h"
#include "window.h"

namespace about {

class AboutWindow final : public ui::WindowEvents {
 public:
  AboutWindow(ui::WindowMaker& maker, platform::Shell& shell) : maker_(maker), shell_(shell) {}

  // Makes the window from its design if it is not open, then shows it (or
  // brings it to the front).
  void open();
  // OK, or the window manager's close.
  void close();
  bool isOpen() const { return window_ != nullptr; }

  void onClose(ui::CloseReason reason) override;
  void onPointerOver(int control) override;
  void onClick(int control) override;
  void onFocus(int control) override;

 private:
  // The link under the pointer is blue and underlined, the other black.
  void highlight(int link);
  void openLink(int link);

  ui::WindowMaker& maker_;
  platform::Shell& shell_;
  ui::Window* window_ = nullptr;
};

}  // namespace about
