// A form's design rendered as a top-level Win32 window: painted controls
// (labels, pictures, bars), real buttons, tooltips, timers and the popup
// menu. It applies the logic's property sets (FormHost) and runs the
// logic's handlers for its messages through the program's HandlerGuard.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "design.h"
#include "form_host.h"
#include "runtime_error.h"

namespace platform::win32 {

class Win32Form final : public FormHost {
 public:
  Win32Form(const FormDesign& design, HandlerGuard& guard);
  ~Win32Form();
  Win32Form(const Win32Form&) = delete;
  Win32Form& operator=(const Win32Form&) = delete;

  // Connects the form's logic and starts the timers the design enables.
  void attach(FormHandlers& handlers);
  template <class Handler>
  void raise(Handler&& handler) {
    if (handlers_) guard_.run([&] { handler(*handlers_); });
  }
  // Answers `message` (a registered one) with `action`'s result.
  using MessageAction = std::function<LRESULT(WPARAM, LPARAM)>;
  void onMessage(UINT message, MessageAction action) { extra_.emplace_back(message, std::move(action)); }

  HWND window() const { return window_; }
  // Enter presses the button that takes the focus; Tab moves between buttons.
  bool dialogMessage(MSG& message);
  // Centred on the primary screen's work area.
  void centre();
  void destroy();

  void setCaption(int control, std::string_view text) override;
  std::string caption(int control) const override;
  void setForeColour(int control, Colour colour) override;
  void setFontUnderline(int control, bool underline) override;
  void setWidth(int control, float twips) override;
  bool visible() const override;
  void setVisible(bool visible) override;
  float top() const override;
  float left() const override;
  void setTop(float twips) override;
  void setLeft(float twips) override;
  std::uint32_t hWnd() const override;
  std::uint32_t iconHandle() const override;
  float twipsPerPixelX() const override;
  void setMenuVisible(int item, bool visible) override;
  void setMenuChecked(int item, bool checked) override;
  void popupMenu(int item) override;
  std::int32_t SetWindowPos(std::int32_t insertAfter, std::uint32_t flags) override;
  std::int32_t SetForegroundWindow() override;
  void beginMoveByPress() override;
  void processPendingEvents() override;

 private:
  struct Control {
    const ControlDesign* design;
    RECT box;
    std::string caption;
    std::wstring text;
    COLORREF fore;
    bool underline;
    HFONT font = nullptr;
    HWND button = nullptr;
    bool tooltipAdded = false;
  };
  struct MenuState {
    bool visible = true;
    bool checked = false;
  };

  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void paint();
  void paintControl(HDC dc, const Control& control);
  void fitLabel(Control& control);
  void updateTooltip(int index);
  void invalidate(const RECT& box);
  void changed(int index, const std::function<void(Control&)>& change);
  int controlAt(POINT at) const;
  void mouse(UINT message, WPARAM wParam, LPARAM lParam);
  Control& control(int index);
  POINT clientOrigin() const;
  void moveClientTo(int x, int y);

  const FormDesign& design_;
  HandlerGuard& guard_;
  FormHandlers* handlers_ = nullptr;
  int dpi_;
  HWND window_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND focusButton_ = nullptr;
  HFONT formFont_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::vector<Control> controls_;
  std::vector<MenuState> menu_;
  std::vector<std::pair<UINT, MessageAction>> extra_;
  int pressedControl_ = FormItself;
  bool pressed_ = false;
};

// The window class of every form.
extern const wchar_t FormClassName[];

// Hides every window of the program's thread: the program is ending.
void HideFormsOfThisThread();

}  // namespace platform::win32
