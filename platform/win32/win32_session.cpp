#include "win32_session.h"

#include <windows.h>

#include <cstdio>

#include "ansi_text.h"
#include "replace_file.h"
#include "twips.h"
#include "win32_error_reporter.h"
#include "win32_form.h"
#include "win32_paint.h"

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

std::string Win32Session::toAnsi(std::string_view utf8) const { return Utf8ToAnsi(utf8); }
std::string Win32Session::fromAnsi(std::string_view ansi) const { return AnsiToUtf8(ansi); }

void Win32Session::warn(std::string_view text) {
  // Written as bytes: a %s would stop at the first NUL.
  std::fputs("pelmodesk: ", stderr);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void Win32Session::alert(std::string_view text) {
  warn(text);
  ShowMessage(std::string(text).c_str(), MB_ICONWARNING);
}

void Win32Session::endProgram() {
  guard_.stop();
  HideFormsOfThisThread();
  PostQuitMessage(0);
}

}  // namespace platform::win32
