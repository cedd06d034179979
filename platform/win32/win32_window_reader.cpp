// What a window offers screen readers and the keyboard beyond the mouse:
// its spoken parts, their names (announced on change once a reader has
// asked, while the window is shown) and its description, and painted links
// that take the focus in turn with the buttons.
#include <algorithm>

#include "ansi_text.h"
#include "win32_window.h"

namespace platform::win32 {

std::wstring Win32Window::accessibleName() const { return Widen(design_.spokenName); }

std::wstring Win32Window::accessibleDescription() const {
  std::wstring texts;
  for (const Control& c : controls_) {
    if (c.design->kind != ui::ControlKind::Label || c.design->spoken != ui::Spoken::Text) continue;
    if (!texts.empty()) texts += L' ';
    texts += c.text;
  }
  return texts;
}

AccessiblePart Win32Window::part(int index) const {
  const Control& c = controls_[static_cast<size_t>(spoken_.at(static_cast<size_t>(index)))];
  const ui::Spoken spoken = c.design->spoken;
  AccessiblePart part{.name = c.design->reading ? Widen(ui::SpokenReading(*c.design->reading, Utf8(c.text))) : c.text,
                      .box = c.box, .window = c.button};
  if (spoken == ui::Spoken::Link) {
    part.role = ROLE_SYSTEM_LINK;
    part.focusable = true;
    part.focused = focusedLink_ == spoken_[static_cast<size_t>(index)] && GetFocus() == window_;
  } else if (c.button) {
    part.role = ROLE_SYSTEM_PUSHBUTTON;
    part.focusable = true;
    part.focused = GetFocus() == c.button;
  }
  return part;
}

bool Win32Window::activatePart(int index) {
  const int control = spoken_.at(static_cast<size_t>(index));
  const Control& c = controls_[static_cast<size_t>(control)];
  if (c.button) return PostMessageW(c.button, BM_CLICK, 0, 0) != 0;
  if (c.design->spoken != ui::Spoken::Link) return false;
  return PostMessageW(window_, ClickLinkMessage, static_cast<WPARAM>(control), 0) != 0;
}

LONG Win32Window::childIdOf(int index) const {
  const auto at = std::find(spoken_.begin(), spoken_.end(), index);
  return at == spoken_.end() ? 0 : static_cast<LONG>(at - spoken_.begin()) + 1;
}

// Only once a screen reader has asked for the window's object: before that
// nobody could make sense of the event, and it costs a call into user32.
void Win32Window::notify(DWORD event, int index) const {
  if (!accessible_) return;
  if (const LONG child = childIdOf(index)) NotifyWinEvent(event, window_, OBJID_CLIENT, child);
}

std::optional<LRESULT> Win32Window::answerReader(WPARAM wParam, LPARAM lParam) {
  // The system answers for the window's frame, and for all of it without COM.
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !ReaderApartment::joined()) return {};
  if (!accessible_) {
    accessible_ = std::make_unique<WindowAccessible>(window_, static_cast<AccessibleParts&>(*this));
    // What the reader learns now is not announced again.
    for (Control& c : controls_) c.announced = c.text;
  }
  return accessible_->answer(wParam);
}

void Win32Window::announceChange(int index) {
  Control& c = controls_[static_cast<size_t>(index)];
  if (!accessible_ || !c.design->reading || c.text == c.announced || !IsWindowVisible(window_)) return;
  c.announced = c.text;
  notify(EVENT_OBJECT_NAMECHANGE, index);
}

bool Win32Window::dialogMessage(MSG& message) {
  if (!focusButton_ || !window_) return false;
  // The links are painted, not windows: their keys are handled here, before
  // the dialog manager, which knows only the buttons.
  if (message.message == WM_KEYDOWN && (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
    if (message.wParam == VK_TAB) {
      moveFocus(GetKeyState(VK_SHIFT) < 0);
      return true;
    }
    if (focusedLink_ != ui::WholeWindow && (message.wParam == VK_RETURN || message.wParam == VK_SPACE)) {
      // Once per press, not again while the key repeats.
      const bool repeat = (message.lParam & (1L << 30)) != 0;
      if (!repeat) raise([link = focusedLink_](ui::WindowEvents& e) { e.onClick(link); });
      return true;
    }
  }
  return IsDialogMessageW(window_, &message);
}

// The links and buttons in design order, round and round.
void Win32Window::moveFocus(bool back) {
  std::vector<int> stops;
  int at = -1;
  for (size_t i = 0; i < controls_.size(); ++i) {
    const Control& c = controls_[i];
    if (!c.button && c.design->spoken != ui::Spoken::Link) continue;
    const int index = static_cast<int>(i);
    if (index == focusedLink_ || (c.button && GetFocus() == c.button)) at = static_cast<int>(stops.size());
    stops.push_back(index);
  }
  if (stops.empty()) return;
  const int count = static_cast<int>(stops.size());
  const int next = at < 0 ? (back ? count - 1 : 0) : (at + (back ? count - 1 : 1)) % count;
  focusControl(stops[static_cast<size_t>(next)]);
}

void Win32Window::focusControl(int index) {
  const Control& c = controls_[static_cast<size_t>(index)];
  if (focusedLink_ != ui::WholeWindow) invalidate(focusBox(focusedLink_));
  if (c.button) {
    focusedLink_ = ui::WholeWindow;
    if (GetFocus() != c.button) SetFocus(c.button);
  } else {
    focusedLink_ = index;
    invalidate(focusBox(index));
    // Taking the focus back from a button announces the link itself.
    if (GetFocus() == window_) notify(EVENT_OBJECT_FOCUS, index);
    else SetFocus(window_);
  }
  raise([&](ui::WindowEvents& e) { e.onFocus(index); });
}

// The dotted frame around a link with the focus, just outside its text.
RECT Win32Window::focusBox(int index) const {
  RECT box = controls_[static_cast<size_t>(index)].box;
  InflateRect(&box, 1, 1);
  return box;
}

}  // namespace platform::win32
