// Requests from later starts in the same directory (see DirectoryClaim),
// taken in the event loop, inside a menu's or a box's loop too.
//
// Showing the window may itself run the event loop (raising it waits on
// the window manager), which would take the next request inside the
// handling of this one, and a stream of them would nest without end. So
// every request waiting is answered at once, and the window is shown
// after the notifier's handler has returned, once for all the requests
// that arrive until the showing is done.
#pragma once

#include <QObject>
#include <functional>

#include "directory_claim.h"

class QSocketNotifier;

namespace platform::qt {

class OtherStarts final : public QObject {
 public:
  // `showing` tells whether the program still shows its window (not once
  // it is ending: an ending copy gives no answer, and the new start runs
  // once it is gone); `show` shows it.
  OtherStarts(linux_::DirectoryClaim& claim, std::function<bool()> showing, std::function<void()> show);

 private:
  void take();

  linux_::DirectoryClaim& claim_;
  std::function<bool()> showing_;
  std::function<void()> show_;
  bool showPending_ = false;
};

}  // namespace platform::qt
