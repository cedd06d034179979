// SIGINT and SIGTERM (Ctrl+C, a logout, a session manager) end the program
// the ordinary way: the handler only wakes the event loop, which then runs
// `quit` like any other event.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace platform::qt {

class QuitSignals final : public QObject {
 public:
  explicit QuitSignals(std::function<void()> quit);
  ~QuitSignals() override;

 private:
  std::function<void()> quit_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace platform::qt
