// The notification-area icon through QSystemTrayIcon (StatusNotifierItem
// hosts and XEmbed trays alike). Presses on the icon come back to the
// record's form the way the Windows shell sends them: as a mouse move whose
// X is the mouse message number in twips.
#pragma once

#include <QObject>

#include "session.h"
#include "tray.h"

class QSystemTrayIcon;
class QTimer;

namespace platform::qt {

class QtForm;

class QtTray final : public QObject, public Tray {
 public:
  QtTray(QtForm& form, const Session& session);
  ~QtTray() override;

  std::int32_t Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override;
  bool available() const override;

  // Qt chooses between a StatusNotifierItem and an XEmbed icon once, when
  // the program starts: a StatusNotifierItem panel that comes later (one
  // starting beside the program at login, say) never gets the icon. Where
  // there is no tray at all meanwhile, the program ends the way a logout
  // ends it, settings saved, and wants to be started again.
  bool startAgain() const { return startAgain_; }

 private:
  bool statusNotifierHostRegistered() const;

  QtForm& form_;
  const Session& session_;
  QSystemTrayIcon* icon_ = nullptr;
  QTimer* recheck_ = nullptr;  // runs when a tray comes or goes
  bool hadTray_ = false;
  bool startAgain_ = false;
};

}  // namespace platform::qt
