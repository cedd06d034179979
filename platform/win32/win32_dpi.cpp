#include "win32_dpi.h"

#include "win32_paint.h"

namespace platform::win32 {
namespace {

template <class Call>
Call user32(const char* name) {
  // Cast through a plain function pointer: GCC warns of the direct cast.
  return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

int WindowDpi(HWND window) {
  static const auto dpiForWindow = user32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const int dpi = dpiForWindow ? static_cast<int>(dpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : ScreenDpi();
}

RECT FrameAround(RECT client, HWND window, int dpi) {
  static const auto adjustForDpi = user32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
  if (!adjustForDpi || !adjustForDpi(&client, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&client, style, FALSE, exStyle);
  return client;
}

}  // namespace platform::win32
