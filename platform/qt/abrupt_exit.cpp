#include "abrupt_exit.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdlib>
#include <utility>

namespace platform::qt {
namespace {

// Outlives the exit handler: it was made before main.
std::function<void()> pending;
bool running = false;

extern "C" void onExit() {
  // Only the GUI thread may run the program's logic.
  if (!pending || !QCoreApplication::instance() || QThread::currentThread() != QCoreApplication::instance()->thread())
    return;
  const std::function<void()> save = std::exchange(pending, nullptr);
  running = true;
  save();
  running = false;
}

}  // namespace

SaveOnAbruptExit::SaveOnAbruptExit(std::function<void()> save) {
  static const bool registered = std::atexit(onExit) == 0;
  if (registered) pending = std::move(save);
}

SaveOnAbruptExit::~SaveOnAbruptExit() { pending = nullptr; }

bool SaveOnAbruptExit::exiting() { return running; }

}  // namespace platform::qt
