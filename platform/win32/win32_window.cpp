#include "win32_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "ansi_text.h"
#include "twips.h"
#include "win32_dpi.h"
#include "win32_paint.h"

namespace platform::win32 {

const wchar_t WindowClassName[] = L"PelmoForm";

namespace {

void registerClass() {
  static const bool registered = [] {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.style = CS_DBLCLKS;
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.lpszClassName = WindowClassName;
    return RegisterClassExW(&c) != 0;
  }();
  (void)registered;
}

DWORD styleOf(const ui::WindowDesign& design) {
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  if (design.border == ui::BorderStyle::FixedSingle) style |= WS_BORDER;
  if (design.border == ui::BorderStyle::Sizable) style |= WS_THICKFRAME;
  if (design.titleBar) style |= WS_CAPTION | (design.controlBox ? WS_SYSMENU : 0);
  return style;
}

BOOL CALLBACK hideWindow(HWND window, LPARAM) {
  wchar_t name[32];
  if (GetClassNameW(window, name, 32) && lstrcmpW(name, WindowClassName) == 0) ShowWindow(window, SW_HIDE);
  return TRUE;
}

}  // namespace

void HideWindowsOfThisThread() { EnumThreadWindows(GetCurrentThreadId(), hideWindow, 0); }

Win32Window::Win32Window(const ui::WindowDesign& design, HandlerGuard& guard)
    : design_(design), guard_(guard), dpi_(ScreenDpi()), menuChecked_(design.menu.size()) {
  registerClass();
  const DWORD style = styleOf(design);
  const DWORD exStyle = design.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
  RECT frame{0, 0, PixelsAt(design.clientWidth, dpi_), PixelsAt(design.clientHeight, dpi_)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  window_ = CreateWindowExW(exStyle, WindowClassName, Widen(design.caption).c_str(), style,
                            PixelsAt(design.left, dpi_) + frame.left, PixelsAt(design.top, dpi_) + frame.top,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Window::proc));
  smallIcon_ = PictureIcon(design.icon, GetSystemMetrics(SM_CXSMICON));
  if (smallIcon_) SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

  for (size_t i = 0; i < design.menu.size(); ++i) menuChecked_[i] = design.menu[i].checked;
  for (const ui::ControlDesign& d : design.controls) {
    const ui::FontDesign& font = d.font ? *d.font : design.font;
    Control c{&d, {}, Widen(d.caption), ColourRef(d.foreColour), font.underline};
    if (d.kind == ui::ControlKind::Button) {
      const auto id = static_cast<UINT_PTR>(d.takesFocus ? IDOK : 100 + controls_.size());
      c.button = CreateWindowExW(0, L"BUTTON", c.text.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | (d.takesFocus ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                 0, 0, 0, 0, window_, reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
      if (d.takesFocus) focusButton_ = c.button;
    }
    if (d.spoken != ui::Spoken::Hidden) spoken_.push_back(static_cast<int>(controls_.size()));
    controls_.push_back(std::move(c));
  }
  scaleTo(WindowDpi(window_), nullptr);
}

void Win32Window::scaleTo(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  const HFONT previousFont = windowFont_;
  windowFont_ = CreateDesignFont(design_.font, dpi, design_.font.underline);
  for (size_t i = 0; i < controls_.size(); ++i) {
    Control& c = controls_[i];
    const ui::ControlDesign& d = *c.design;
    const int left = PixelsAt(d.left, dpi);
    c.box = {left, PixelsAt(d.top, dpi), c.width ? left + PixelsAt(*c.width, dpi) : PixelsAt(d.left + d.width, dpi),
             PixelsAt(d.top + d.height, dpi)};
    if (d.kind == ui::ControlKind::Label) {
      if (c.font) DeleteObject(c.font);
      c.font = CreateDesignFont(d.font ? *d.font : design_.font, dpi, c.underline);
      fitLabel(c);
    }
    if (c.button) {
      ::SetWindowPos(c.button, nullptr, c.box.left, c.box.top, c.box.right - c.box.left, c.box.bottom - c.box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      SendMessageW(c.button, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), FALSE);
    }
    updateTooltip(static_cast<int>(i));
  }
  if (previousFont) DeleteObject(previousFont);
  // The design's size at the new scale, the client area staying where it
  // is, unless Windows suggests a place (under the pointer that drags the
  // window); a window the user can size takes the size suggested too.
  const RECT client{0, 0, PixelsAt(design_.clientWidth, dpi), PixelsAt(design_.clientHeight, dpi)};
  RECT frame = FrameAround(client, window_, dpi);
  const POINT origin = clientOrigin();
  OffsetRect(&frame, origin.x, origin.y);
  if (suggested && design_.border == ui::BorderStyle::Sizable)
    frame = *suggested;
  else if (suggested)
    OffsetRect(&frame, suggested->left - frame.left, suggested->top - frame.top);
  ::SetWindowPos(window_, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window_, nullptr, FALSE);
}

Win32Window::~Win32Window() {
  destroy();
  for (Control& c : controls_)
    if (c.font) DeleteObject(c.font);
  if (windowFont_) DeleteObject(windowFont_);
}

void Win32Window::destroy() {
  if (!window_) return;
  for (size_t i = 0; i < design_.timers.size(); ++i) KillTimer(window_, i + 1);
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  accessible_.reset();
  HWND window = window_;
  window_ = nullptr;
  DestroyWindow(window);
}

void Win32Window::attach(ui::WindowEvents& events) {
  events_ = &events;
  for (size_t i = 0; i < design_.timers.size(); ++i)
    if (design_.timers[i].enabled && design_.timers[i].intervalMs > 0)
      SetTimer(window_, i + 1, static_cast<UINT>(design_.timers[i].intervalMs), nullptr);
}

LRESULT CALLBACK Win32Window::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->handle(message, wParam, lParam);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const auto& [registered, action] : extra_)
    if (message == registered)
      if (const std::optional<LRESULT> result = action(wParam, lParam)) return *result;
  switch (message) {
    case WM_ERASEBKGND: return 1;
    // Moved to a screen of another scale (or the screen's scale changed).
    case DpiChangedMessage: scaleTo(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_PAINT: paint(); return 0;
    case WM_TIMER: raise([&](ui::WindowEvents& e) { e.onTimer(static_cast<int>(wParam) - 1); }); return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: mouse(message, lParam); return 0;
    case WM_COMMAND:
      if (lParam && HIWORD(wParam) == BN_CLICKED) {
        for (size_t i = 0; i < controls_.size(); ++i)
          if (controls_[i].button == reinterpret_cast<HWND>(lParam))
            raise([&](ui::WindowEvents& e) { e.onClick(static_cast<int>(i)); });
      }
      return 0;
    case WM_SETFOCUS:
      // Back to the link that had the focus, or else to the button.
      if (focusedLink_ != ui::WholeWindow) notify(EVENT_OBJECT_FOCUS, focusedLink_);
      else if (focusButton_) SetFocus(focusButton_);
      return 0;
    case WM_KILLFOCUS:
      // A press on a button takes the focus from a link.
      for (size_t i = 0; i < controls_.size() && focusedLink_ != ui::WholeWindow; ++i) {
        if (!wParam || controls_[i].button != reinterpret_cast<HWND>(wParam)) continue;
        invalidate(focusBox(focusedLink_));
        focusedLink_ = ui::WholeWindow;
        raise([&](ui::WindowEvents& e) { e.onFocus(static_cast<int>(i)); });
      }
      return 0;
    case ClickLinkMessage: raise([&](ui::WindowEvents& e) { e.onClick(static_cast<int>(wParam)); }); return 0;
    // The Menu key and Shift+F10 come with no point; a right press's point
    // is handled as the press.
    case WM_CONTEXTMENU:
      if (GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1) raise([](ui::WindowEvents& e) { e.onMenuKey(); });
      return 0;
    case WM_GETOBJECT:
      if (const std::optional<LRESULT> answer = answerReader(wParam, lParam)) return *answer;
      break;
    case WM_WINDOWPOSCHANGED:
      if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW)
        for (size_t i = 0; i < controls_.size(); ++i) announceChange(static_cast<int>(i));
      break;
    // Alt+F4 or the taskbar's close: closed by someone who can answer a
    // message box.
    case WM_CLOSE: raise([](ui::WindowEvents& e) { e.onClose(ui::CloseReason::ByUser); }); return 0;
    // A logoff or shutdown: closed before WM_ENDSESSION returns, since
    // Windows may end the process right after; nobody answers a box then.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      if (wParam) raise([](ui::WindowEvents& e) { e.onClose(ui::CloseReason::Unattended); });
      return 0;
    default: break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32Window::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  const RECT& dirty = ps.rcPaint;
  const int width = dirty.right - dirty.left, height = dirty.bottom - dirty.top;
  if (width > 0 && height > 0) {
    // Drawn off screen and copied in one go: no flicker.
    HDC memory = CreateCompatibleDC(dc);
    GdiObject bitmap{CreateCompatibleBitmap(dc, width, height)};
    {
      Selected selected(memory, bitmap.object);
      SetViewportOrgEx(memory, -dirty.left, -dirty.top, nullptr);
      GdiObject back{CreateSolidBrush(ColourRef(design_.backColour))};
      FillRect(memory, &dirty, static_cast<HBRUSH>(back.object));
      DrawBackground(memory, design_.picture, dpi_);
      for (const Control& c : controls_) {
        RECT overlap;
        if (IntersectRect(&overlap, &c.box, &dirty)) paintControl(memory, c);
      }
      if (focusedLink_ != ui::WholeWindow) {
        const RECT box = focusBox(focusedLink_);
        DrawFocusRect(memory, &box);
      }
      BitBlt(dc, dirty.left, dirty.top, width, height, memory, dirty.left, dirty.top, SRCCOPY);
    }
    DeleteDC(memory);
  }
  EndPaint(window_, &ps);
}

void Win32Window::paintControl(HDC dc, const Control& c) {
  const ui::ControlDesign& d = *c.design;
  switch (d.kind) {
    case ui::ControlKind::Label: {
      if (d.opaque) {
        GdiObject back{CreateSolidBrush(ColourRef(d.backColour))};
        FillRect(dc, &c.box, static_cast<HBRUSH>(back.object));
      }
      Selected font(dc, c.font);
      SetTextColor(dc, c.colour);
      SetBkMode(dc, TRANSPARENT);
      RECT box = c.box;
      const UINT align = d.alignment == ui::Alignment::Right ? DT_RIGHT : d.alignment == ui::Alignment::Centre ? DT_CENTER : DT_LEFT;
      DrawTextW(dc, c.text.c_str(), static_cast<int>(c.text.size()), &box, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | align);
      break;
    }
    case ui::ControlKind::Image: DrawPicture(dc, d.picture, c.box, d.stretch); break;
    case ui::ControlKind::Shape: {
      if (c.box.right <= c.box.left) break;
      GdiObject fill{CreateSolidBrush(ColourRef(d.fillColour))};
      GdiObject outline{CreatePen(PS_SOLID, 1, ColourRef(d.borderColour))};
      Selected brush(dc, fill.object), pen(dc, outline.object);
      Rectangle(dc, c.box.left, c.box.top, c.box.right, c.box.bottom);
      break;
    }
    case ui::ControlKind::Button: break;  // a window of its own
  }
}

void Win32Window::fitLabel(Control& c) {
  if (!c.design->autoSize) return;
  HDC dc = GetDC(nullptr);
  SIZE size{};
  TEXTMETRICW metrics{};
  {
    Selected font(dc, c.font);
    GetTextExtentPoint32W(dc, c.text.c_str(), static_cast<int>(c.text.size()), &size);
    GetTextMetricsW(dc, &metrics);
  }
  ReleaseDC(nullptr, dc);
  const int width = std::max<int>(1, size.cx);
  // A right-aligned label keeps its right edge where the design put it.
  if (c.design->alignment == ui::Alignment::Right) {
    c.box.right = PixelsAt(c.design->left + c.design->width, dpi_);
    c.box.left = c.box.right - width;
  } else {
    c.box.right = c.box.left + width;
  }
  c.box.bottom = c.box.top + metrics.tmHeight;
}

void Win32Window::updateTooltip(int index) {
  const Control& c = controls_[static_cast<size_t>(index)];
  if (c.design->tooltip.empty()) return;
  if (!tooltip_) {
    static const bool ready = [] {
      INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
      return InitCommonControlsEx(&init) != 0;
    }();
    (void)ready;
    // TTS_ALWAYSTIP: shown over an inactive window too.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  }
  std::wstring text = Widen(c.design->tooltip);
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of comctl32
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = static_cast<UINT_PTR>(index) + 1;
  tool.rect = c.box;
  tool.lpszText = text.data();
  if (c.tooltipAdded) {
    SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    controls_[static_cast<size_t>(index)].tooltipAdded = true;
  }
}

void Win32Window::invalidate(const RECT& box) {
  if (window_) InvalidateRect(window_, &box, FALSE);
}

void Win32Window::changed(int index, const std::function<void(Control&)>& change) {
  Control& c = control(index);
  const RECT before = c.box;
  change(c);
  if (c.design->kind == ui::ControlKind::Label) fitLabel(c);
  invalidate(before);
  invalidate(c.box);
  if (!EqualRect(&before, &c.box)) updateTooltip(index);
}

Win32Window::Control& Win32Window::control(int index) {
  if (index < 0 || static_cast<size_t>(index) >= controls_.size())
    throw RuntimeError(ErrorNumber::SubscriptOutOfRange, {});
  return controls_[static_cast<size_t>(index)];
}

void Win32Window::setText(int index, std::string_view text) {
  Control& c = control(index);
  std::wstring wide = Widen(text);
  if (c.text == wide) return;
  if (c.button) {
    c.text = std::move(wide);
    SetWindowTextW(c.button, c.text.c_str());
    return;
  }
  changed(index, [&](Control& changing) { changing.text = std::move(wide); });
  // A reading's name is its text in its words: it changed with it.
  announceChange(index);
}

void Win32Window::setTextColour(int index, ui::Colour colour) {
  if (control(index).colour == ColourRef(colour)) return;
  changed(index, [&](Control& c) { c.colour = ColourRef(colour); });
}

void Win32Window::setUnderline(int index, bool underline) {
  Control& c = control(index);
  if (c.underline == underline || !c.font) return;
  changed(index, [&](Control& changing) {
    DeleteObject(changing.font);
    changing.underline = underline;
    changing.font = CreateDesignFont(changing.design->font ? *changing.design->font : design_.font, dpi_, underline);
  });
}

void Win32Window::setWidth(int index, float twips) {
  Control& c = control(index);
  c.width = std::max(0.0f, twips);  // kept for another scale
  const int right = c.box.left + PixelsAt(*c.width, dpi_);
  if (right == c.box.right) return;
  changed(index, [&](Control& changing) { changing.box.right = right; });
}

bool Win32Window::visible() const { return IsWindowVisible(window_) != 0; }
void Win32Window::show() {
  // Moved while hidden onto a screen of another scale: its scale first.
  if (WindowDpi(window_) != dpi_) scaleTo(WindowDpi(window_), nullptr);
  ShowWindow(window_, SW_SHOW);
}
void Win32Window::hide() { ShowWindow(window_, SW_HIDE); }

POINT Win32Window::clientOrigin() const {
  POINT origin{0, 0};
  ClientToScreen(window_, &origin);
  return origin;
}

// Places are twips of the primary screen's pixels on every screen, so a
// place kept in pelmo.ini is the same spot whatever screen's scale the
// window had when it was written.
float Win32Window::top() const { return TwipsAt(clientOrigin().y, ScreenDpi()); }
float Win32Window::left() const { return TwipsAt(clientOrigin().x, ScreenDpi()); }

void Win32Window::moveTo(float left, float top) {
  const POINT to{PixelsAt(left, ScreenDpi()), PixelsAt(top, ScreenDpi())};
  const auto place = [&] {
    RECT outer;
    GetWindowRect(window_, &outer);
    const POINT origin = clientOrigin();
    ::SetWindowPos(window_, nullptr, outer.left + to.x - origin.x, outer.top + to.y - origin.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place();
  // Arrived on a screen of another scale, the window takes it, and Windows
  // may have placed it where it suggests: placed once more.
  if (WindowDpi(window_) != dpi_) scaleTo(WindowDpi(window_), nullptr);
  const POINT origin = clientOrigin();
  if (origin.x != to.x || origin.y != to.y) place();
}

void Win32Window::setAlwaysOnTop(bool on) {
  ::SetWindowPos(window_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void Win32Window::bringToFront() {
  SetForegroundWindow(window_);
  runPendingMessages();
}

void Win32Window::runPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32Window::beginMoveByPress() {
  ReleaseCapture();
  SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void Win32Window::setMenuChecked(int item, bool checked) { menuChecked_.at(static_cast<size_t>(item)) = checked; }

void Win32Window::popupMenu(int item, ui::MenuPlace place) {
  const auto& items = design_.menu;
  const int level = items[static_cast<size_t>(item)].level;
  HMENU menu = CreatePopupMenu();
  for (size_t i = static_cast<size_t>(item) + 1; i < items.size() && items[i].level > level; ++i) {
    if (items[i].level != level + 1) continue;
    if (items[i].caption == "-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuW(menu, MF_STRING | (menuChecked_[i] ? MF_CHECKED : 0), i + 1, Widen(items[i].caption).c_str());
  }
  // From a key, below the window's bottom-left corner: the pointer may be
  // anywhere. TrackPopupMenu keeps the arrows, Enter and Escape.
  POINT at;
  if (place == ui::MenuPlace::AtWindow) {
    RECT client;
    GetClientRect(window_, &client);
    at = POINT{0, client.bottom};
    ClientToScreen(window_, &at);
  } else {
    GetCursorPos(&at);
  }
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr);
  // Without it the menu stays open when the user clicks elsewhere.
  PostMessageW(window_, WM_NULL, 0, 0);
  DestroyMenu(menu);
  // Chosen within the press's own event: delivered as part of it.
  if (chosen > 0 && events_) events_->onMenuItem(chosen - 1);
}

int Win32Window::controlAt(POINT at) const {
  for (size_t i = controls_.size(); i-- > 0;) {
    const ui::ControlKind kind = controls_[i].design->kind;
    if ((kind == ui::ControlKind::Label || kind == ui::ControlKind::Image) && PtInRect(&controls_[i].box, at))
      return static_cast<int>(i);
  }
  return ui::WholeWindow;
}

void Win32Window::mouse(UINT message, LPARAM lParam) {
  const int index = controlAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  switch (message) {
    case WM_MOUSEMOVE: raise([&](ui::WindowEvents& e) { e.onPointerOver(index); }); break;
    case WM_LBUTTONUP:
      if (pressed_ && index == pressedControl_ && index != ui::WholeWindow)
        raise([&](ui::WindowEvents& e) { e.onClick(index); });
      pressed_ = false;
      break;
    case WM_LBUTTONDBLCLK: raise([&](ui::WindowEvents& e) { e.onDoubleClick(index); }); break;
    default: {
      const int button = message == WM_LBUTTONDOWN ? ui::LeftButton
                         : message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK ? 4
                                                                                       : ui::RightButton;
      pressed_ = button == ui::LeftButton;
      pressedControl_ = index;
      raise([&](ui::WindowEvents& e) { e.onPress(index, button); });
    }
  }
}

void Win32Window::centre() {
  RECT outer, area;
  GetWindowRect(window_, &outer);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  ::SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace platform::win32
