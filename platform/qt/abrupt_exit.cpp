#include "abrupt_exit.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform::qt {
namespace {

// Outlives the exit handler: it was made before main.
std::function<int()> pending;
bool running = false;

extern "C" void onExit() {
  // Only the GUI thread may run the program's logic.
  if (!pending || !QCoreApplication::instance() || QThread::currentThread() != QCoreApplication::instance()->thread())
    return;
  const std::function<int()> save = std::exchange(pending, nullptr);
  running = true;
  const int status = save();
  // The status exit was given is Qt's; the rest of the exit handlers are
  // Qt's too, with no display left to serve.
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace

SaveOnAbruptExit::SaveOnAbruptExit(std::function<int()> save) {
  static const bool registered = std::atexit(onExit) == 0;
  if (registered) pending = std::move(save);
}

SaveOnAbruptExit::~SaveOnAbruptExit() { pending = nullptr; }

bool SaveOnAbruptExit::exiting() { return running; }

}  // namespace platform::qt
