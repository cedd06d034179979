#include "other_starts.h"

#include <QSocketNotifier>
#include <QTimer>

namespace platform::qt {

OtherStarts::OtherStarts(linux_::DirectoryClaim& claim, std::function<bool()> showing, std::function<void()> show)
    : claim_(claim), showing_(std::move(showing)), show_(std::move(show)) {
  if (claim_.listener() < 0) return;
  auto* notifier = new QSocketNotifier(claim_.listener(), QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, &OtherStarts::take);
}

void OtherStarts::take() {
  const bool showing = showing_();
  if (claim_.takeRequests(showing) == 0 || !showing || showPending_) return;
  showPending_ = true;
  QTimer::singleShot(0, this, [this] {
    if (showing_()) show_();
    showPending_ = false;
  });
}

}  // namespace platform::qt
