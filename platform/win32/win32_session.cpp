#include "win32_session.h"

#include <windows.h>

#include "note.h"
#include "replace_file.h"
#include "twips.h"
#include "win32_error_reporter.h"
#include "win32_paint.h"
#include "win32_window.h"

namespace platform::win32 {
namespace {

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, RECT*, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  auto& screens = *reinterpret_cast<std::vector<TwipsRect>*>(list);
  const int dpi = ScreenDpi();
  const RECT& r = info.rcMonitor;
  const TwipsRect screen{TwipsAt(r.left, dpi), TwipsAt(r.top, dpi), TwipsAt(r.right - r.left, dpi),
                         TwipsAt(r.bottom - r.top, dpi)};
  if (info.dwFlags & MONITORINFOF_PRIMARY)
    screens.insert(screens.begin(), screen);
  else
    screens.push_back(screen);
  return TRUE;
}

}  // namespace

std::vector<TwipsRect> Win32Session::screens() const {
  std::vector<TwipsRect> result;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&result));
  return result;
}

FileRead Win32Session::readFile(std::string_view name) { return ReadWholeFile(name); }

FileProblem Win32Session::replaceFile(std::string_view name, std::string_view bytes, OldFile old) {
  return ReplaceWholeFile(RealFileCalls(), name, bytes, old, GetTickCount() ^ (GetCurrentProcessId() << 16));
}

void Win32Session::warn(std::string_view text) { WriteNote(text); }

void Win32Session::alert(std::string_view text) {
  warn(text);
  ShowMessage(std::string(text).c_str(), MB_ICONWARNING);
}

void Win32Session::endProgram() {
  guard_.stop();
  HideWindowsOfThisThread();
  PostQuitMessage(0);
}

}  // namespace platform::win32
