// pelmodesk: the monitor window, its logic, and the libraries and chip it
// reads.
#include <QApplication>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "abrupt_exit.h"
#include "about_window.h"
#include "board_ports.h"
#include "start_limits.h"
#include "directory_claim.h"
#include "dl_loader.h"
#include "monitor_design.h"
#include "monitor_window.h"
#include "note.h"
#include "other_starts.h"
#include "qt_error_reporter.h"
#include "qt_look.h"
#include "qt_session.h"
#include "qt_shell.h"
#include "qt_startup.h"
#include "qt_tray.h"
#include "qt_window.h"
#include "qt_window_maker.h"
#include "quit_signals.h"
#include "stats_library.h"
#include "texts.h"

namespace {

// Descriptors free at start, besides standard input, output and error. At
// its busiest (a link being opened, with Qt's event loops, the display and
// session bus connections, the kept /proc files and the claim open) the
// program holds 20; the rest are for what a desktop adds (an input method,
// the accessibility bus, a platform theme).
constexpr int DescriptorsNeeded = 29;

// Threads besides the main one at the busiest moment of start-up (the font
// configuration's reader, Qt's X reader and its D-Bus connection), and the
// memory the program maps after main besides their stacks: about 14 MB,
// measured once the window was shown; the rest is for the About window,
// menus and a screen reader.
constexpr int ThreadsNeeded = 3;
constexpr std::size_t MemoryNeeded = 24 << 20;

std::string_view ShortageText(platform::linux_::Shortage shortage) {
  using platform::linux_::Shortage;
  switch (shortage) {
    case Shortage::Processes: return texts::TooFewProcesses;
    case Shortage::AddressSpace: return texts::TooLittleAddressSpace;
    case Shortage::Data: return texts::TooLittleData;
    default: return texts::NoThreads;
  }
}

}  // namespace

int main(int argc, char** argv) {
  platform::qt::OneMallocArena();
  if (const int missing = platform::linux_::DescriptorShortfall(DescriptorsNeeded); missing > 0) {
    platform::WriteNote(std::string(texts::TooFewDescriptors)
            .append(std::to_string(platform::linux_::DescriptorLimit() + missing))
            .append(texts::TooFewDescriptorsEnd));
    return 1;
  }
  // One copy per settings directory: a second start shows the running
  // copy's window and ends.
  platform::linux_::DirectoryClaim claim;
  switch (claim.claim(texts::SettingsFile, std::chrono::seconds(5))) {
    case platform::linux_::DirectoryClaim::Outcome::Answered: return 0;
    case platform::linux_::DirectoryClaim::Outcome::Unanswered: platform::WriteNote(texts::OtherCopySilent); return 1;
    case platform::linux_::DirectoryClaim::Outcome::Unclaimed: platform::WriteNote(texts::RunningUnchecked); break;
    case platform::linux_::DirectoryClaim::Outcome::Claimed: break;
  }
  if (const auto shortage = platform::linux_::StartupShortage(ThreadsNeeded, MemoryNeeded);
      shortage != platform::linux_::Shortage::None) {
    platform::WriteNote(ShortageText(shortage));
    return 1;
  }
  platform::qt::PrepareQtForATinyWindow();
  platform::qt::PreferX11OnWayland();
  platform::qt::ReportNoDisplayPlainly();
  platform::qt::FontConfigInAdvance fontConfig;
  QApplication app(argc, argv);
  fontConfig.wait();
  platform::qt::FinishQtStartup();
  // The window lives on in the tray when hidden.
  QApplication::setQuitOnLastWindowClosed(false);
  platform::qt::SubstituteDesignFonts();

  platform::qt::QtErrorReporter reporter;
  platform::HandlerGuard guard(reporter);
  platform::linux_::DlLoader loader;
  platform::BoundStatsLibrary stats(loader);
  platform::BoundPortLibrary portLibrary(loader);
  platform::linux_::BoardPorts ports(portLibrary, "/sys", "/proc/ioports");

  platform::qt::QtWindow window(monitor::Design, guard);
  platform::qt::QtSession session(guard);
  platform::qt::NoteWaylandLimits();
  platform::qt::QtTray tray(window, guard);
  platform::qt::QtWindowMaker windowMaker(guard);
  platform::qt::QtShell shell;
  about::AboutWindow about(windowMaker, shell);
  monitor::MonitorWindow monitor({window, stats, ports, tray, session, about});
  window.attach(monitor);
  tray.attach(monitor);
  // A logout, a session manager, Ctrl+C or a lost display closes the
  // window the ordinary way: settings written, icon removed; nobody is
  // there to answer a box.
  const auto unattendedClose = [&] {
    window.raise([](ui::WindowEvents& e) { e.onClose(ui::CloseReason::Unattended); });
  };
  platform::qt::QuitSignals quitSignals;
  platform::qt::SaveOnAbruptExit displayLoss([&] {
    unattendedClose();
    return monitor.settingsLost() ? 1 : 0;
  });
  window.raise([](ui::WindowEvents& e) { e.onOpen(); });
  if (guard.ending()) return 1;  // a run-time error while loading, already reported
  const platform::qt::OtherStarts otherStarts(
      claim, [&] { return !guard.ending(); },
      [&] { window.raise([](ui::WindowEvents& e) { e.onAnotherStart(); }); });
  platform::qt::TrimMemoryAfterStartup();
  const int status = QApplication::exec();
  if (quitSignals.received()) unattendedClose();  // does nothing once the program is ending
  if (tray.startAgain()) platform::qt::StartAgain(argv);
  // A session manager or a script that ended the program learns from the
  // status that the settings were not saved.
  return monitor.settingsLost() ? 1 : status;
}
