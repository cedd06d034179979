#include "quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

namespace platform::qt {
namespace {

int wakeFds[2] = {-1, -1};
constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void onQuitSignal(int signal) {
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(wakeFds[1], &byte, 1);
}

// Popups and modal boxes end their own loops when they close.
void closeNestedWindows() {
  for (int i = 0; i < 16 && QApplication::activePopupWidget(); ++i) QApplication::activePopupWidget()->close();
  for (int i = 0; i < 16 && QApplication::activeModalWidget(); ++i) QApplication::activeModalWidget()->close();
}

}  // namespace

QuitSignals::QuitSignals() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) != 0) return;
  notifier_ = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char byte;
    while (::read(wakeFds[0], &byte, 1) > 0) {
    }
    received_ = true;
    closeNestedWindows();
    // Leaves every loop, the nested ones first; one that starts later
    // returns at once.
    QCoreApplication::exit(0);
  });
  struct sigaction action {};
  action.sa_handler = onQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int s : Signals) sigaction(s, &action, nullptr);
}

QuitSignals::~QuitSignals() {
  for (int s : Signals) signal(s, SIG_DFL);
  delete notifier_;
  notifier_ = nullptr;
  for (int& fd : wakeFds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace platform::qt
