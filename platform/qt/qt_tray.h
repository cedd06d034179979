// The notification-area icon through QSystemTrayIcon (StatusNotifierItem
// hosts and XEmbed trays alike). Presses on the icon come back to the
// record's form the way the Windows shell sends them: as a mouse move whose
// X is the mouse message number in twips.
#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

#include "session.h"
#include "tray.h"

class QDBusMessage;
class QDBusServiceWatcher;
class QMenu;
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
  // there is no tray at all meanwhile and such a panel stays, the program
  // ends the way a logout ends it, settings saved, and wants to be started
  // again.
  bool startAgain() const { return startAgain_; }

 private:
  // The StatusNotifierItem tray as the session bus shows it, followed by
  // its signals and by questions whose answers come back to the event loop:
  // nothing here waits on another program.
  void followStatusNotifierTray();
  void ask(const QDBusMessage& question, std::function<void(const QDBusMessage&)> answer);
  void askWatcher();
  void watcherOwnerChanged(const QString& owner);
  void listNames();
  void hostNameGone(const QString& name);
  void listenForNewNames(bool listen);
  // A watcher with a host, and where the desktop's hosts go by bus names
  // (Plasma's watcher outlives its panel and always says it has a host),
  // one of those names.
  bool statusNotifierTrayPresent() const;
  // After any change: a tray that went shows a hidden window; one that Qt
  // will not use starts the program again once it has lasted.
  void trayChanged();
  void settled();

  QtForm& form_;
  const Session& session_;
  QSystemTrayIcon* icon_ = nullptr;
  std::unique_ptr<QMenu> panelMenu_;  // the menu a StatusNotifierItem panel draws itself
  bool iconShownBefore_ = false;
  bool statusNotifierIcon_ = false;  // Qt took the StatusNotifierItem way

  bool watcherPresent_ = false;
  bool watcherHasHost_ = false;
  unsigned watcherGeneration_ = 0;  // a new owner makes older answers stale
  QSet<QString> hostNames_;
  bool hostsHaveNames_ = false;
  QDBusServiceWatcher* hostWatch_ = nullptr;
  QTimer* newNames_ = nullptr;  // a new host's name, looked for once none is left
  bool listening_ = false;
  QTimer* hostQuestion_ = nullptr;  // one question for a burst of host signals
  QTimer* settle_ = nullptr;        // how long a tray Qt won't use must last
  bool hadTray_ = false;
  bool startAgain_ = false;
  int earlierStarts_ = 0;  // starts again in a row, the last one recent
};

}  // namespace platform::qt
