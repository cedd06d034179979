// A window's design rendered as a top-level Win32 window: painted controls
// (labels, pictures, bars), real buttons, tooltips, timers and the popup
// menu. It applies what the logic asks of it (ui::Window) and runs the
// logic's events for its messages through the program's HandlerGuard.
// Screen readers see its spoken parts through WindowAccessible; painted
// links take the keyboard focus in turn with the buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime_error.h"
#include "win32_accessible.h"
#include "window.h"

namespace platform::win32 {

class Win32Window final : public ui::Window, private AccessibleParts {
 public:
  Win32Window(const ui::WindowDesign& design, HandlerGuard& guard);
  ~Win32Window();
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Connects the window's logic and starts the timers the design enables.
  void attach(ui::WindowEvents& events);
  template <class Event>
  void raise(Event&& event) {
    if (events_) guard_.run([&] { event(*events_); });
  }
  // Offers `message` to `action` before the window handles it: a result
  // answers the message, none lets the window handle it as usual.
  using MessageAction = std::function<std::optional<LRESULT>(WPARAM, LPARAM)>;
  void onMessage(UINT message, MessageAction action) { extra_.emplace_back(message, std::move(action)); }

  HWND handle() const { return window_; }
  // The design's icon at the small icon size, or none.
  HICON icon() const { return smallIcon_; }
  // Enter presses the button that takes the focus, or opens the link that
  // has it, as does Space; Tab and Shift+Tab move among links and buttons.
  bool dialogMessage(MSG& message);
  // Centred on the primary screen's work area.
  void centre();
  void destroy();

  void setText(int control, std::string_view text) override;
  void setTextColour(int control, ui::Colour colour) override;
  void setUnderline(int control, bool underline) override;
  void setWidth(int control, float twips) override;
  bool visible() const override;
  void show() override;
  void hide() override;
  float top() const override;
  float left() const override;
  void moveTo(float left, float top) override;
  void setAlwaysOnTop(bool on) override;
  void bringToFront() override;
  void beginMoveByPress() override;
  void setMenuChecked(int item, bool checked) override;
  void popupMenu(int item, ui::MenuPlace place) override;

 private:
  struct Control {
    const ui::ControlDesign* design;
    RECT box;
    std::wstring text;
    COLORREF colour;
    bool underline;
    HFONT font = nullptr;
    HWND button = nullptr;
    bool tooltipAdded = false;
    std::wstring announced;  // a reading's text as a screen reader last heard it
    std::optional<float> width;  // in twips, once the logic has set one
  };

  // A link's click, posted by a screen reader's default action so that it
  // runs from the message loop rather than inside the reader's call.
  static constexpr UINT ClickLinkMessage = WM_APP + 1;

  std::wstring accessibleName() const override;
  std::wstring accessibleDescription() const override;
  int partCount() const override { return static_cast<int>(spoken_.size()); }
  AccessiblePart part(int index) const override;
  bool activatePart(int index) override;
  // A control's child id for screen readers, or 0 if it is not spoken.
  LONG childIdOf(int index) const;
  void notify(DWORD event, int index) const;
  // WM_GETOBJECT: the client area's object, or nothing for the system to
  // answer.
  std::optional<LRESULT> answerReader(WPARAM wParam, LPARAM lParam);
  // A reading's change is announced while the window is shown; one that
  // changed while it was hidden, once it is shown again.
  void announceChange(int index);
  void moveFocus(bool back);
  void focusControl(int index);
  RECT focusBox(int index) const;

  // Fonts, boxes, buttons, tooltips and the window's size at `dpi`.
  void scaleTo(int dpi, const RECT* suggested);
  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void paint();
  void paintControl(HDC dc, const Control& control);
  void fitLabel(Control& control);
  void updateTooltip(int index);
  void invalidate(const RECT& box);
  void changed(int index, const std::function<void(Control&)>& change);
  int controlAt(POINT at) const;
  void mouse(UINT message, LPARAM lParam);
  Control& control(int index);
  POINT clientOrigin() const;
  void runPendingMessages();

  const ui::WindowDesign& design_;
  HandlerGuard& guard_;
  ui::WindowEvents* events_ = nullptr;
  int dpi_;  // the window's scale: its screen's resolution
  HWND window_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND focusButton_ = nullptr;
  HFONT windowFont_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::vector<Control> controls_;
  std::vector<bool> menuChecked_;
  std::vector<std::pair<UINT, MessageAction>> extra_;
  std::vector<int> spoken_;  // the controls screen readers hear of
  std::unique_ptr<WindowAccessible> accessible_;  // once a reader has asked
  int focusedLink_ = ui::WholeWindow;  // a painted link with the keyboard focus
  int pressedControl_ = ui::WholeWindow;
  bool pressed_ = false;
};

// The window class of every window of the program; another copy of the
// program finds the running one's window by it, so it stays as it is.
extern const wchar_t WindowClassName[];

// Hides every window of the program's thread: the program is ending.
void HideWindowsOfThisThread();

}  // namespace platform::win32
