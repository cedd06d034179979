#include "about_window.h"

#include "texts.h"

namespace about {

namespace {
constexpr ui::Colour Blue = ui::Rgb(0, 0, 255);
constexpr ui::Colour Black = 0;
constexpr int NoLink = ui::WholeWindow;
}  // namespace

void AboutWindow::open() {
  if (!window_) window_ = &maker_.make(Design, *this);
  maker_.show(*window_);
}

void AboutWindow::close() {
  ui::Window* window = window_;
  window_ = nullptr;
  maker_.destroy(*window);
}

void AboutWindow::highlight(int link) {
  // Both links are set on every move, whatever they were.
  for (const int each : {WebLink, MailLink}) {
    window_->setTextColour(each, each == link ? Blue : Black);
    window_->setUnderline(each, each == link);
  }
}

void AboutWindow::openLink(int link) {
  // The link's text as it stands is what opens; the window stays open.
  shell_.openUrl(link == WebLink ? texts::AboutWeb : texts::AboutMail);
}

void AboutWindow::onClose(ui::CloseReason) {
  if (window_) close();
}

void AboutWindow::onPointerOver(int control) {
  if (!window_) return;
  if (control == ui::WholeWindow) highlight(NoLink);
  if (control == WebLink || control == MailLink) highlight(control);
}

void AboutWindow::onFocus(int control) {
  // A link reached from the keyboard looks as it does under the pointer.
  if (window_) highlight(control == WebLink || control == MailLink ? control : NoLink);
}

void AboutWindow::onClick(int control) {
  if (!window_) return;
  if (control == WebLink || control == MailLink) openLink(control);
  if (control == OkButton) close();
}

}  // namespace about
