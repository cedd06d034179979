#include "quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace platform::qt {
namespace {

int wakeFds[2] = {-1, -1};

extern "C" void onQuitSignal(int signal) {
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(wakeFds[1], &byte, 1);
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> quit) : quit_(std::move(quit)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) != 0) return;
  notifier_ = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char byte;
    while (::read(wakeFds[0], &byte, 1) > 0) {
    }
    if (quit_) quit_();
  });
  struct sigaction action {};
  action.sa_handler = onQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

QuitSignals::~QuitSignals() {
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  delete notifier_;
  notifier_ = nullptr;
  for (int& fd : wakeFds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace platform::qt
