// SIGINT, SIGTERM and SIGHUP (Ctrl+C, a logout, a session manager, the
// terminal closing) end the program the ordinary way, unless they were
// ignored when it started (nohup, a script's job in the background). The
// handler only wakes the event loop; that closes any popup menu or message
// box running a loop of its own and leaves every loop, so the window is
// closed from main once no event's delivery is left on the stack: a widget
// may not go while it is still handling the press that opened a menu.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform::qt {

class QuitSignals final : public QObject {
 public:
  QuitSignals();
  ~QuitSignals() override;

  // Whether a signal ended the event loop.
  bool received() const { return received_; }

 private:
  QSocketNotifier* notifier_ = nullptr;
  bool received_ = false;
};

}  // namespace platform::qt
