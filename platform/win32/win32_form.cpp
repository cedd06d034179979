#include "win32_form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "ansi_text.h"
#include "twips.h"
#include "win32_paint.h"

namespace platform::win32 {

const wchar_t FormClassName[] = L"PelmoForm";

namespace {

constexpr const wchar_t* FormClass = FormClassName;

void registerClass() {
  static const bool registered = [] {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.style = CS_DBLCLKS;
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.lpszClassName = FormClass;
    return RegisterClassExW(&c) != 0;
  }();
  (void)registered;
}

DWORD styleOf(const FormDesign& design) {
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  if (design.border == BorderStyle::FixedSingle) style |= WS_BORDER;
  if (design.border == BorderStyle::Sizable) style |= WS_THICKFRAME;
  if (design.titleBar) style |= WS_CAPTION | (design.controlBox ? WS_SYSMENU : 0);
  return style;
}

int buttonsOf(WPARAM keys) {
  return (keys & MK_LBUTTON ? 1 : 0) | (keys & MK_RBUTTON ? 2 : 0) | (keys & MK_MBUTTON ? 4 : 0);
}

int shiftOf(WPARAM keys) {
  return (keys & MK_SHIFT ? 1 : 0) | (keys & MK_CONTROL ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

BOOL CALLBACK hideForm(HWND window, LPARAM) {
  wchar_t name[32];
  if (GetClassNameW(window, name, 32) && lstrcmpW(name, FormClass) == 0) ShowWindow(window, SW_HIDE);
  return TRUE;
}

}  // namespace

void HideFormsOfThisThread() { EnumThreadWindows(GetCurrentThreadId(), hideForm, 0); }

Win32Form::Win32Form(const FormDesign& design, HandlerGuard& guard)
    : design_(design), guard_(guard), dpi_(ScreenDpi()), menu_(design.menu.size()) {
  registerClass();
  const DWORD style = styleOf(design);
  const DWORD exStyle = design.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
  RECT frame{0, 0, PixelsAt(design.clientWidth, dpi_), PixelsAt(design.clientHeight, dpi_)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  window_ = CreateWindowExW(exStyle, FormClass, Widen(design.caption).c_str(), style,
                            PixelsAt(design.left, dpi_) + frame.left, PixelsAt(design.top, dpi_) + frame.top,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Form::proc));
  smallIcon_ = PictureIcon(design.icon, GetSystemMetrics(SM_CXSMICON));
  if (smallIcon_) SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  formFont_ = CreateDesignFont(design.font, dpi_, design.font.underline);

  for (size_t i = 0; i < design.menu.size(); ++i) menu_[i].checked = design.menu[i].checked;
  for (const ControlDesign& d : design.controls) {
    const FontDesign& font = d.font ? *d.font : design.font;
    Control c{&d,
              {PixelsAt(d.left, dpi_), PixelsAt(d.top, dpi_), PixelsAt(d.left + d.width, dpi_),
               PixelsAt(d.top + d.height, dpi_)},
              std::string(d.caption), Widen(d.caption), ColourRef(d.foreColour), font.underline};
    if (d.kind == ControlKind::Label) {
      c.font = CreateDesignFont(font, dpi_, c.underline);
      fitLabel(c);
    }
    if (d.kind == ControlKind::Button) {
      const auto id = static_cast<UINT_PTR>(d.takesFocus ? IDOK : 100 + controls_.size());
      c.button = CreateWindowExW(0, L"BUTTON", c.text.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | (d.takesFocus ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                 c.box.left, c.box.top, c.box.right - c.box.left, c.box.bottom - c.box.top, window_,
                                 reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
      SendMessageW(c.button, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_), FALSE);
      if (d.takesFocus) focusButton_ = c.button;
    }
    controls_.push_back(std::move(c));
  }
  for (size_t i = 0; i < controls_.size(); ++i) updateTooltip(static_cast<int>(i));
}

Win32Form::~Win32Form() {
  destroy();
  for (Control& c : controls_)
    if (c.font) DeleteObject(c.font);
  if (formFont_) DeleteObject(formFont_);
}

void Win32Form::destroy() {
  if (!window_) return;
  for (size_t i = 0; i < design_.timers.size(); ++i) KillTimer(window_, i + 1);
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  HWND window = window_;
  window_ = nullptr;
  DestroyWindow(window);
}

void Win32Form::attach(FormHandlers& handlers) {
  handlers_ = &handlers;
  for (size_t i = 0; i < design_.timers.size(); ++i)
    if (design_.timers[i].enabled && design_.timers[i].intervalMs > 0)
      SetTimer(window_, i + 1, static_cast<UINT>(design_.timers[i].intervalMs), nullptr);
}

LRESULT CALLBACK Win32Form::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!form) return DefWindowProcW(window, message, wParam, lParam);
  return form->handle(message, wParam, lParam);
}

LRESULT Win32Form::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const auto& [registered, action] : extra_)
    if (message == registered) return action(wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint(); return 0;
    case WM_TIMER: raise([&](FormHandlers& h) { h.onTimer(static_cast<int>(wParam) - 1); }); return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: mouse(message, wParam, lParam); return 0;
    case WM_COMMAND:
      if (lParam && HIWORD(wParam) == BN_CLICKED) {
        for (size_t i = 0; i < controls_.size(); ++i)
          if (controls_[i].button == reinterpret_cast<HWND>(lParam))
            raise([&](FormHandlers& h) { h.onClick(static_cast<int>(i)); });
      }
      return 0;
    case WM_SETFOCUS:
      if (focusButton_) SetFocus(focusButton_);
      return 0;
    // Alt+F4 or the taskbar's close: unloaded the ordinary way, by someone
    // who can answer a message box.
    case WM_CLOSE: raise([](FormHandlers& h) { h.onUnload(UnloadMode::UserClose); }); return 0;
    // A logoff or shutdown: unloaded before WM_ENDSESSION returns, since
    // Windows may end the process right after; nobody answers a box then.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      if (wParam) raise([](FormHandlers& h) { h.onUnload(UnloadMode::Unattended); });
      return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void Win32Form::paint() {
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
      DrawPicture(memory, design_.picture, RECT{0, 0, 0, 0}, false);
      for (const Control& c : controls_) {
        RECT overlap;
        if (IntersectRect(&overlap, &c.box, &dirty)) paintControl(memory, c);
      }
      BitBlt(dc, dirty.left, dirty.top, width, height, memory, dirty.left, dirty.top, SRCCOPY);
    }
    DeleteDC(memory);
  }
  EndPaint(window_, &ps);
}

void Win32Form::paintControl(HDC dc, const Control& c) {
  const ControlDesign& d = *c.design;
  switch (d.kind) {
    case ControlKind::Label: {
      if (d.opaque) {
        GdiObject back{CreateSolidBrush(ColourRef(d.backColour))};
        FillRect(dc, &c.box, static_cast<HBRUSH>(back.object));
      }
      Selected font(dc, c.font);
      SetTextColor(dc, c.fore);
      SetBkMode(dc, TRANSPARENT);
      RECT box = c.box;
      const UINT align = d.alignment == Alignment::Right ? DT_RIGHT : d.alignment == Alignment::Centre ? DT_CENTER : DT_LEFT;
      DrawTextW(dc, c.text.c_str(), static_cast<int>(c.text.size()), &box, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | align);
      break;
    }
    case ControlKind::Image: DrawPicture(dc, d.picture, c.box, d.stretch); break;
    case ControlKind::Shape: {
      if (c.box.right <= c.box.left) break;
      GdiObject fill{CreateSolidBrush(ColourRef(d.fillColour))};
      GdiObject outline{CreatePen(PS_SOLID, 1, ColourRef(d.borderColour))};
      Selected brush(dc, fill.object), pen(dc, outline.object);
      Rectangle(dc, c.box.left, c.box.top, c.box.right, c.box.bottom);
      break;
    }
    case ControlKind::Button: break;  // a window of its own
  }
}

void Win32Form::fitLabel(Control& c) {
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
  if (c.design->alignment == Alignment::Right) {
    c.box.right = PixelsAt(c.design->left + c.design->width, dpi_);
    c.box.left = c.box.right - width;
  } else {
    c.box.right = c.box.left + width;
  }
  c.box.bottom = c.box.top + metrics.tmHeight;
}

void Win32Form::updateTooltip(int index) {
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

void Win32Form::invalidate(const RECT& box) {
  if (window_) InvalidateRect(window_, &box, FALSE);
}

void Win32Form::changed(int index, const std::function<void(Control&)>& change) {
  Control& c = control(index);
  const RECT before = c.box;
  change(c);
  if (c.design->kind == ControlKind::Label) fitLabel(c);
  invalidate(before);
  invalidate(c.box);
  if (!EqualRect(&before, &c.box)) updateTooltip(index);
}

Win32Form::Control& Win32Form::control(int index) {
  if (index < 0 || static_cast<size_t>(index) >= controls_.size())
    throw RuntimeError(ErrorNumber::SubscriptOutOfRange, {});
  return controls_[static_cast<size_t>(index)];
}

void Win32Form::setCaption(int index, std::string_view text) {
  Control& c = control(index);
  if (c.caption == text) return;
  if (c.button) {
    c.caption.assign(text);
    c.text = Widen(text);
    SetWindowTextW(c.button, c.text.c_str());
    return;
  }
  changed(index, [&](Control& changing) {
    changing.caption.assign(text);
    changing.text = Widen(text);
  });
}

std::string Win32Form::caption(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= controls_.size())
    throw RuntimeError(ErrorNumber::SubscriptOutOfRange, {});
  return controls_[static_cast<size_t>(index)].caption;
}

void Win32Form::setForeColour(int index, Colour colour) {
  if (control(index).fore == ColourRef(colour)) return;
  changed(index, [&](Control& c) { c.fore = ColourRef(colour); });
}

void Win32Form::setFontUnderline(int index, bool underline) {
  Control& c = control(index);
  if (c.underline == underline || !c.font) return;
  changed(index, [&](Control& changing) {
    DeleteObject(changing.font);
    changing.underline = underline;
    changing.font = CreateDesignFont(changing.design->font ? *changing.design->font : design_.font, dpi_, underline);
  });
}

void Win32Form::setWidth(int index, float twips) {
  Control& c = control(index);
  const int right = c.box.left + PixelsAt(std::max(0.0f, twips), dpi_);
  if (right == c.box.right) return;
  changed(index, [&](Control& changing) { changing.box.right = right; });
}

bool Win32Form::visible() const { return IsWindowVisible(window_) != 0; }

void Win32Form::setVisible(bool visible) { ShowWindow(window_, visible ? SW_SHOW : SW_HIDE); }

POINT Win32Form::clientOrigin() const {
  POINT origin{0, 0};
  ClientToScreen(window_, &origin);
  return origin;
}

void Win32Form::moveClientTo(int x, int y) {
  RECT outer;
  GetWindowRect(window_, &outer);
  const POINT origin = clientOrigin();
  ::SetWindowPos(window_, nullptr, outer.left + x - origin.x, outer.top + y - origin.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

float Win32Form::top() const { return TwipsAt(clientOrigin().y, dpi_); }
float Win32Form::left() const { return TwipsAt(clientOrigin().x, dpi_); }
void Win32Form::setTop(float twips) { moveClientTo(clientOrigin().x, PixelsAt(twips, dpi_)); }
void Win32Form::setLeft(float twips) { moveClientTo(PixelsAt(twips, dpi_), clientOrigin().y); }

std::uint32_t Win32Form::hWnd() const {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window_));
}

std::uint32_t Win32Form::iconHandle() const {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(smallIcon_));
}

float Win32Form::twipsPerPixelX() const { return TwipsPerPixelAt(dpi_); }

void Win32Form::setMenuVisible(int item, bool visible) { menu_.at(static_cast<size_t>(item)).visible = visible; }
void Win32Form::setMenuChecked(int item, bool checked) { menu_.at(static_cast<size_t>(item)).checked = checked; }

void Win32Form::popupMenu(int item) {
  const auto& items = design_.menu;
  const int level = items[static_cast<size_t>(item)].level;
  HMENU menu = CreatePopupMenu();
  for (size_t i = static_cast<size_t>(item) + 1; i < items.size() && items[i].level > level; ++i) {
    if (items[i].level != level + 1 || !menu_[i].visible) continue;
    if (items[i].caption == "-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuW(menu, MF_STRING | (menu_[i].checked ? MF_CHECKED : 0), i + 1, Widen(items[i].caption).c_str());
  }
  POINT at;
  GetCursorPos(&at);
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr);
  // Without it the menu stays open when the user clicks elsewhere.
  PostMessageW(window_, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (chosen > 0 && handlers_) handlers_->onMenuClick(chosen - 1);
}

std::int32_t Win32Form::SetWindowPos(std::int32_t insertAfter, std::uint32_t flags) {
  return ::SetWindowPos(window_, reinterpret_cast<HWND>(static_cast<std::intptr_t>(insertAfter)), 0, 0, 0, 0, flags);
}

std::int32_t Win32Form::SetForegroundWindow() { return ::SetForegroundWindow(window_); }

void Win32Form::beginMoveByPress() {
  ReleaseCapture();
  SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void Win32Form::processPendingEvents() {
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

int Win32Form::controlAt(POINT at) const {
  for (size_t i = controls_.size(); i-- > 0;) {
    const ControlKind kind = controls_[i].design->kind;
    if ((kind == ControlKind::Label || kind == ControlKind::Image) && PtInRect(&controls_[i].box, at))
      return static_cast<int>(i);
  }
  return FormItself;
}

void Win32Form::mouse(UINT message, WPARAM wParam, LPARAM lParam) {
  // A tray icon's callback is a mouse move too: its lParam, the mouse
  // message, reads as X and reaches the logic in twips.
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const int index = controlAt(at);
  const POINT origin = index == FormItself ? POINT{0, 0} : POINT{controls_[static_cast<size_t>(index)].box.left,
                                                                 controls_[static_cast<size_t>(index)].box.top};
  const float x = TwipsAt(at.x - origin.x, dpi_), y = TwipsAt(at.y - origin.y, dpi_);
  const int shift = shiftOf(wParam);
  switch (message) {
    case WM_MOUSEMOVE: raise([&](FormHandlers& h) { h.onMouseMove(index, buttonsOf(wParam), shift, x, y); }); break;
    case WM_LBUTTONUP:
      if (pressed_ && index == pressedControl_ && index != FormItself)
        raise([&](FormHandlers& h) { h.onClick(index); });
      pressed_ = false;
      break;
    case WM_LBUTTONDBLCLK: raise([&](FormHandlers& h) { h.onDblClick(index); }); break;
    default: {
      const int button = message == WM_LBUTTONDOWN ? LeftButton
                         : message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK ? 4
                                                                                       : RightButton;
      pressed_ = button == LeftButton;
      pressedControl_ = index;
      raise([&](FormHandlers& h) { h.onMouseDown(index, button, shift, x, y); });
    }
  }
}

bool Win32Form::dialogMessage(MSG& message) {
  return focusButton_ && window_ && IsDialogMessageW(window_, &message);
}

void Win32Form::centre() {
  RECT outer, area;
  GetWindowRect(window_, &outer);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  ::SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace platform::win32
