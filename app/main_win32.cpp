// pelmodesk.exe: the monitor window on the Win32 API, its logic, and the
// libraries and chip it reads.
#include <windows.h>

#include <cstdio>

#include "about_window.h"
#include "directory_claim.h"
#include "guarded_ports.h"
#include "monitor_design.h"
#include "monitor_window.h"
#include "stats_library.h"
#include "texts.h"
#include "win32_error_reporter.h"
#include "win32_loader.h"
#include "win32_session.h"
#include "win32_shell.h"
#include "win32_tray.h"
#include "win32_window.h"
#include "win32_window_maker.h"

int main() {
  namespace w = platform::win32;
  // One copy per settings directory: a second start shows the running
  // copy's window and ends.
  w::DirectoryClaim claim;
  switch (claim.claim(5000)) {
    case w::DirectoryClaim::Outcome::Answered: return 0;
    case w::DirectoryClaim::Outcome::Unanswered:
      std::fprintf(stderr, "pelmodesk: %.*s\n", static_cast<int>(texts::OtherCopySilent.size()),
                   texts::OtherCopySilent.data());
      return 1;
    case w::DirectoryClaim::Outcome::Claimed: break;
  }
  // Before any window: screen readers reach the windows through it.
  const w::ReaderApartment apartment;
  w::Win32ErrorReporter reporter;
  platform::HandlerGuard guard(reporter);
  w::Win32Loader loader;
  platform::BoundStatsLibrary stats(loader);
  platform::BoundPortLibrary portLibrary(loader);
  w::GuardedPorts ports(portLibrary);

  w::Win32Window window(monitor::Design, guard);
  w::Win32Session session(guard);
  w::Win32Tray tray(window, guard);
  w::Win32WindowMaker maker(guard);
  w::Win32Shell shell;
  about::AboutWindow about(maker, shell);
  monitor::MonitorWindow monitor({window, stats, ports, tray, session, about});
  window.attach(monitor);
  tray.attach(monitor);
  window.onMessage(w::DirectoryClaim::RequestMessage(), [&](WPARAM, LPARAM key) -> std::optional<LRESULT> {
    if (!claim.isForThisDirectory(key) || guard.ending()) return 0;
    window.raise([](ui::WindowEvents& e) { e.onAnotherStart(); });
    return 1;
  });
  // At a logoff the session ends the process as soon as WM_ENDSESSION
  // returns, with a status of its own (Wine's wineboot gives 0): the
  // program ends itself first, with the status it promises.
  window.onMessage(WM_ENDSESSION, [&](WPARAM ending, LPARAM) -> std::optional<LRESULT> {
    if (!ending) return 0;
    window.raise([](ui::WindowEvents& e) { e.onClose(ui::CloseReason::Unattended); });
    ExitProcess(monitor.settingsLost() ? 1 : 0);
  });
  window.raise([](ui::WindowEvents& e) { e.onOpen(); });
  if (guard.ending()) return 1;  // a run-time error while opening, already reported

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (maker.dialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return monitor.settingsLost() ? 1 : static_cast<int>(message.wParam);
}
