#include "quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <iterator>
#include <utility>

namespace platform::qt {
namespace {

int wakeFds[2] = {-1, -1};
constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};
// Which of them this program handles: one ignored when it started stays
// ignored (nohup ignores SIGHUP, a shell SIGINT for a job in the background).
bool handled[std::size(Signals)] = {};

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
  for (size_t i = 0; i < std::size(Signals); ++i) {
    struct sigaction before {};
    handled[i] = sigaction(Signals[i], nullptr, &before) == 0 && before.sa_handler != SIG_IGN &&
                 sigaction(Signals[i], &action, nullptr) == 0;
  }
}

QuitSignals::~QuitSignals() {
  for (size_t i = 0; i < std::size(Signals); ++i)
    if (std::exchange(handled[i], false)) signal(Signals[i], SIG_DFL);
  delete notifier_;
  notifier_ = nullptr;
  for (int& fd : wakeFds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace platform::qt
