// pelmodesk.exe: the monitor window on the Win32 API, its logic, and the
// libraries and chip it reads.
#include <windows.h>

#include <cstdio>

#include "form1.h"
#include "form1_design.h"
#include "directory_claim.h"
#include "form2.h"
#include "guarded_ports.h"
#include "stats_library.h"
#include "texts.h"
#include "win32_error_reporter.h"
#include "win32_form.h"
#include "win32_forms.h"
#include "win32_loader.h"
#include "win32_session.h"
#include "win32_shell.h"
#include "win32_tray.h"

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
  w::Win32ErrorReporter reporter;
  platform::HandlerGuard guard(reporter);
  w::Win32Loader loader;
  platform::BoundStatsLibrary stats(loader);
  platform::BoundPortLibrary portLibrary(loader);
  w::GuardedPorts ports(portLibrary);

  w::Win32Form window(form1::Design, guard);
  w::Win32Session session(guard);
  w::Win32Tray tray(window);
  w::Win32Forms forms(guard);
  w::Win32Shell shell;
  about::Form2 about(forms, shell, session);
  monitor::Form1 form({window, stats, ports, tray, session, about});
  window.attach(form);
  window.onMessage(w::DirectoryClaim::RequestMessage(), [&](WPARAM, LPARAM key) -> LRESULT {
    if (!claim.isForThisDirectory(key) || guard.ending()) return 0;
    window.raise([](platform::FormHandlers& h) { h.onAnotherStart(); });
    return 1;
  });
  window.raise([](platform::FormHandlers& h) { h.onLoad(); });
  if (guard.ending()) return 1;  // a run-time error while loading, already reported

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (forms.dialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return form.settingsLost() ? 1 : static_cast<int>(message.wParam);
}
