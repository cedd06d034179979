#include "form2.h"

namespace about {

using namespace form2;

namespace {
constexpr platform::Colour Blue = platform::Rgb(0, 0, 255);
constexpr platform::Colour Black = 0;
}  // namespace

void Form2::mnuab_Click() {
  if (!window_) window_ = &forms_.load(Design, *this);
  forms_.show(*window_);
}

void Form2::Command1_Click() {
  platform::FormHost* window = window_;
  window_ = nullptr;
  forms_.unload(*window);
}

// Each handler sets all four properties on every move, whatever they were.
void Form2::Label1_MouseMove(int, int, float, float) {
  window_->setForeColour(Label1, Blue);
  window_->setFontUnderline(Label1, true);
  window_->setForeColour(Label6, Black);
  window_->setFontUnderline(Label6, false);
}

void Form2::Label6_MouseMove(int, int, float, float) {
  window_->setForeColour(Label6, Blue);
  window_->setFontUnderline(Label6, true);
  window_->setForeColour(Label1, Black);
  window_->setFontUnderline(Label1, false);
}

void Form2::Form_MouseMove(int, int, float, float) {
  window_->setForeColour(Label1, Black);
  window_->setFontUnderline(Label1, false);
  window_->setForeColour(Label6, Black);
  window_->setFontUnderline(Label6, false);
}

void Form2::openLink(int label) {
  // The caption, unchanged, is what the shell opens; its answer is not
  // looked at and the window stays open.
  const std::uint32_t desktop = shell_.GetDesktopWindow();
  const std::string caption = window_->caption(label);
  shell_.ShellExecuteA(desktop, "open", session_.toAnsi(caption), nullptr, "", platform::SW_SHOW);
}

void Form2::Label1_Click() { openLink(Label1); }
void Form2::Label6_Click() { openLink(Label6); }

void Form2::onUnload(platform::UnloadMode) {
  if (window_) Command1_Click();
}

void Form2::onMouseMove(int control, int button, int shift, float x, float y) {
  if (!window_) return;
  if (control == platform::FormItself) Form_MouseMove(button, shift, x, y);
  if (control == Label1) Label1_MouseMove(button, shift, x, y);
  if (control == Label6) Label6_MouseMove(button, shift, x, y);
}

void Form2::onClick(int control) {
  if (!window_) return;
  if (control == Label1) Label1_Click();
  if (control == Label6) Label6_Click();
  if (control == Command1) Command1_Click();
}

}  // namespace about
