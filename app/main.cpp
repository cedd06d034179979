// pelmodesk: the monitor window, its logic, and the libraries and chip it
// reads.
#include <QApplication>

#include "board_ports.h"
#include "dl_loader.h"
#include "form1.h"
#include "form1_design.h"
#include "qt_error_reporter.h"
#include "qt_form.h"
#include "qt_look.h"
#include "qt_startup.h"
#include "quit_signals.h"
#include "stats_library.h"

int main(int argc, char** argv) {
  platform::qt::PrepareQtForATinyWindow();
  QApplication app(argc, argv);
  // The window lives on in the tray when hidden.
  QApplication::setQuitOnLastWindowClosed(false);
  platform::qt::SubstituteDesignFonts();

  platform::qt::QtErrorReporter reporter;
  platform::HandlerGuard guard(reporter);
  platform::linux_::DlLoader loader;
  platform::BoundStatsLibrary stats(loader);
  platform::BoundPortLibrary portLibrary(loader);
  platform::linux_::BoardPorts ports(portLibrary, "/sys", "/proc/ioports");

  platform::qt::QtForm window(form1::Design, guard);
  monitor::Form1 form(window, stats, ports);
  window.attach(form);
  window.showAtDesignPosition();

  platform::qt::QuitSignals quitSignals([] { QCoreApplication::quit(); });
  return QApplication::exec();
}
