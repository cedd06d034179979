// The notification-area icon through QSystemTrayIcon (StatusNotifierItem
// hosts and XEmbed trays alike). The icon's left press, its right press and
// the tray's going away are delivered as TrayEvents, through the program's
// HandlerGuard.
#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

#include "runtime_error.h"
#include "tray.h"

class QDBusMessage;
class QDBusServiceWatcher;
class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace platform::qt {

class QtWindow;

class QtTray final : public QObject, public Tray {
 public:
  // The icon is the window's, and so is its menu.
  QtTray(QtWindow& window, HandlerGuard& guard);
  ~QtTray() override;

  void attach(TrayEvents& events) { events_ = &events; }

  void show(std::string_view tooltip) override;
  void remove() override;
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
  // Runs a tray event of the program's logic under its failure model.
  template <class Event>
  void raise(Event&& event) {
    if (events_) guard_.run([&] { event(*events_); });
  }

  QtWindow& window_;
  HandlerGuard& guard_;
  TrayEvents* events_ = nullptr;
  QSystemTrayIcon* icon_ = nullptr;
  std::unique_ptr<QMenu> panelMenu_;  // the menu a StatusNotifierItem panel draws itself
  bool iconSet_ = false;
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
