// The resolution a window is drawn at. On Windows 10 (1607 and later) each
// screen has its own, and a window that moves to a screen of another scale
// gets WM_DPICHANGED; elsewhere every window has the primary screen's
// (ScreenDpi). The calls that tell are looked up at run time: Windows XP
// has none of them, and a program that imports one does not start there.
#pragma once

#include <windows.h>

namespace platform::win32 {

constexpr UINT DpiChangedMessage = 0x02E0;  // WM_DPICHANGED: LOWORD(wParam) dpi, lParam the suggested RECT

// The window's resolution, or the primary screen's where the system keeps
// one for all.
int WindowDpi(HWND window);

// The window's frame around `client` (client coordinates) at `dpi`.
RECT FrameAround(RECT client, HWND window, int dpi);

}  // namespace platform::win32
