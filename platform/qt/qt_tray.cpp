#include "qt_tray.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <utility>

#include "qt_window.h"

namespace platform::qt {
namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");
// Hosts that go by a bus name of their own (Plasma's panel, LXQt's) take
// one under this prefix.
const QString HostPrefix = QStringLiteral("org.kde.StatusNotifierHost-");

// How many times in a row the program has started itself again for a tray,
// and when it last did, as "COUNT SECONDS" on the monotonic clock (which an
// exec keeps): a tray that keeps coming and going waits longer each time,
// and one that Qt keeps refusing (a watcher Qt cannot read) is given up on.
constexpr char StartedAgainVariable[] = "PELMODESK_STARTED_AGAIN";
constexpr std::chrono::seconds StartsInARow{300};
constexpr int SettleMs = 2000, MostStartsInARow = 5;

long long monotonicSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The one icon in the sizes panels ask for, so it stays sharp on any of
// them: whole multiples are scaled pixel for pixel, the rest smoothly.
QIcon trayIcon(const QPixmap& icon) {
  QIcon result;
  for (int size : {16, 22, 32, 48, 64}) {
    const bool whole = size % icon.width() == 0 || icon.width() % size == 0;
    result.addPixmap(icon.scaled(size, size, Qt::KeepAspectRatio, whole ? Qt::FastTransformation : Qt::SmoothTransformation));
  }
  return result;
}

// Whether the watcher has a host, and its answer.
QDBusMessage hostQuestion() {
  QDBusMessage get = QDBusMessage::createMethodCall(WatcherService, WatcherPath,
                                                    QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << WatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
  return get;
}
bool saysYes(const QDBusMessage& reply) {
  return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
         qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
}

QDBusMessage busCall(const QString& method) {
  return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                        QStringLiteral("org.freedesktop.DBus"), method);
}

}  // namespace

QtTray::QtTray(QtWindow& window, HandlerGuard& guard) : QObject(&window), window_(window), guard_(guard) {
  const QList<QByteArray> startedAgain = qgetenv(StartedAgainVariable).split(' ');
  qunsetenv(StartedAgainVariable);  // not for the programs a link starts
  if (startedAgain.size() == 2 && monotonicSeconds() - startedAgain[1].toLongLong() < StartsInARow.count())
    earlierStarts_ = std::clamp(startedAgain[0].toInt(), 0, 1000);

  // Qt takes the StatusNotifierItem way, once for the whole run, where a
  // watcher with a host is there when the first icon is made. Only that way
  // takes the menu to the panel (com.canonical.dbusmenu), for panels that
  // draw the menu themselves; the XEmbed way would pop it up on its own
  // beside the one the right press opens. The panel's copy holds the
  // window's own menu items, so the same events come and the check mark is
  // the same; the window's menu stays the one the program pops up itself.
  icon_ = new QSystemTrayIcon(this);
  if (const QMenu* menu = window_.iconMenu()) {
    panelMenu_ = std::make_unique<QMenu>();
    panelMenu_->addActions(menu->actions());
    icon_->setContextMenu(panelMenu_.get());
    statusNotifierIcon_ = panelMenu_->platformMenu() != nullptr;
    if (!statusNotifierIcon_) icon_->setContextMenu(nullptr);
  }
  watcherPresent_ = watcherHasHost_ = statusNotifierIcon_;

  settle_ = new QTimer(this);
  settle_->setSingleShot(true);
  settle_->setInterval(SettleMs << std::min(earlierStarts_, MostStartsInARow));
  connect(settle_, &QTimer::timeout, this, &QtTray::settled);
  // Qt's X11 plugin announces each change of the tray (the owner of the
  // system-tray selection) by a signal that QtWidgets itself connects to by
  // name; its class is private to Qt, a QObject all the same.
  auto* trayWindow = new QTimer(this);
  trayWindow->setSingleShot(true);
  connect(trayWindow, &QTimer::timeout, this, &QtTray::trayChanged);
  auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
  if (native && native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") >= 0)
    connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), trayWindow, SLOT(start()));
  followStatusNotifierTray();
  hadTray_ = available();
}

QtTray::~QtTray() {
  // The icon goes first, then the panel's copy of the menu: emptied, it
  // frees what Qt made for the panel (Qt frees a menu's D-Bus items only
  // as they leave the menu).
  delete icon_;
  if (panelMenu_) panelMenu_->clear();
}

void QtTray::followStatusNotifierTray() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  auto* watcher = new QDBusServiceWatcher(WatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
  connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
          [this](const QString&, const QString&, const QString& owner) { watcherOwnerChanged(owner); });
  // A host announcing itself to a watcher that was already there, or
  // leaving one that stays: signals of the watcher's owner only (the bus
  // delivers only its), each burst asked about once.
  hostQuestion_ = new QTimer(this);
  hostQuestion_->setSingleShot(true);
  connect(hostQuestion_, &QTimer::timeout, this, [this] {
    if (watcherPresent_) askWatcher();
  });
  for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
    bus.connect(WatcherService, WatcherPath, WatcherService, QString::fromLatin1(signal), hostQuestion_, SLOT(start()));
  // Hosts that go by names: each known one is watched; once none is left,
  // every name change on the bus is looked at until a new host comes.
  hostWatch_ = new QDBusServiceWatcher(QString(), bus, QDBusServiceWatcher::WatchForUnregistration, this);
  connect(hostWatch_, &QDBusServiceWatcher::serviceUnregistered, this, &QtTray::hostNameGone);
  newNames_ = new QTimer(this);
  newNames_->setSingleShot(true);
  newNames_->setInterval(100);
  connect(newNames_, &QTimer::timeout, this, &QtTray::listNames);

  QDBusMessage owner = busCall(QStringLiteral("GetNameOwner"));
  owner << WatcherService;
  const unsigned generation = watcherGeneration_;
  ask(owner, [this, generation](const QDBusMessage& reply) {
    if (generation != watcherGeneration_) return;  // an owner change came first and said more
    watcherPresent_ = reply.type() == QDBusMessage::ReplyMessage;
    if (watcherPresent_) askWatcher();
    trayChanged();
  });
  listNames();
}

void QtTray::listNames() {
  ask(busCall(QStringLiteral("ListNames")), [this](const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
    bool found = false;
    for (const QString& name : reply.arguments().constFirst().toStringList()) {
      if (!name.startsWith(HostPrefix) || hostNames_.contains(name)) continue;
      hostNames_.insert(name);
      hostWatch_->addWatchedService(name);
      found = true;
    }
    if (found) {
      hostsHaveNames_ = true;
      listenForNewNames(false);
    }
    trayChanged();
  });
}

void QtTray::hostNameGone(const QString& name) {
  hostWatch_->removeWatchedService(name);
  hostNames_.remove(name);
  if (hostNames_.isEmpty()) listenForNewNames(true);
  trayChanged();
}

void QtTray::listenForNewNames(bool listen) {
  if (listen == listening_) return;
  listening_ = listen;
  QDBusConnection bus = QDBusConnection::sessionBus();
  const QString service = QStringLiteral("org.freedesktop.DBus");
  if (listen)
    bus.connect(service, QStringLiteral("/org/freedesktop/DBus"), service, QStringLiteral("NameOwnerChanged"), newNames_,
                SLOT(start()));
  else
    bus.disconnect(service, QStringLiteral("/org/freedesktop/DBus"), service, QStringLiteral("NameOwnerChanged"),
                   newNames_, SLOT(start()));
}

void QtTray::ask(const QDBusMessage& question, std::function<void(const QDBusMessage&)> answer) {
  auto* call = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(question, 5000), this);
  connect(call, &QDBusPendingCallWatcher::finished, this, [call, answer = std::move(answer)] {
    call->deleteLater();
    answer(call->reply());
  });
}

void QtTray::askWatcher() {
  const unsigned generation = watcherGeneration_;
  ask(hostQuestion(), [this, generation](const QDBusMessage& reply) {
    if (generation != watcherGeneration_) return;  // from a watcher since gone
    watcherHasHost_ = saysYes(reply);
    trayChanged();
  });
}

void QtTray::watcherOwnerChanged(const QString& owner) {
  ++watcherGeneration_;
  watcherPresent_ = !owner.isEmpty();
  watcherHasHost_ = false;  // until the new watcher says
  if (watcherPresent_) askWatcher();
  trayChanged();
}

bool QtTray::statusNotifierTrayPresent() const {
  return watcherPresent_ && watcherHasHost_ && (!hostsHaveNames_ || !hostNames_.isEmpty());
}

bool QtTray::available() const {
  return statusNotifierIcon_ ? statusNotifierTrayPresent() : QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::trayChanged() {
  const bool hasTray = available();
  if (hadTray_ && !hasTray) raise([](TrayEvents& events) { events.onTrayGone(); });
  hadTray_ = hasTray;
  // Where Qt took the XEmbed way (or found no tray at all), a
  // StatusNotifierItem tray is used by starting again, once it has lasted:
  // one that comes and goes does not make the program come and go with it.
  const bool wanted = !statusNotifierIcon_ && !hasTray && statusNotifierTrayPresent() && !startAgain_ &&
                      earlierStarts_ < MostStartsInARow;
  if (!wanted) settle_->stop();
  else if (!settle_->isActive()) settle_->start();
}

void QtTray::settled() {
  // The watcher is asked once more: still there, still with a host.
  const unsigned generation = watcherGeneration_;
  ask(hostQuestion(), [this, generation](const QDBusMessage& reply) {
    if (generation != watcherGeneration_ || !saysYes(reply) || startAgain_ || available() || !statusNotifierTrayPresent())
      return;
    startAgain_ = true;
    qputenv(StartedAgainVariable,
            QByteArray::number(earlierStarts_ + 1) + ' ' + QByteArray::number(monotonicSeconds()));
    std::raise(SIGTERM);  // unwinds any menu or box, and closes from main
  });
}

void QtTray::remove() {
  // Quitting may run inside one of the icon's own events, and hiding an
  // XEmbed icon destroys the widget that event belongs to: the icon goes as
  // soon as the event has returned.
  if (icon_->isVisible()) QMetaObject::invokeMethod(icon_, &QSystemTrayIcon::hide, Qt::QueuedConnection);
}

void QtTray::show(std::string_view tooltip) {
  if (icon_->isVisible()) return;
  icon_->setToolTip(QString::fromUtf8(tooltip.data(), qsizetype(tooltip.size())));
  if (!std::exchange(iconSet_, true)) {
    icon_->setIcon(trayIcon(window_.icon()));
    // Queued: a StatusNotifierItem press is a D-Bus call that the panel
    // waits on, and the right press runs the popup menu's own loop until
    // the menu closes; the panel gets its answer first.
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
      if (reason == QSystemTrayIcon::Trigger) raise([](TrayEvents& events) { events.onTrayShowWindow(); });
      if (reason == QSystemTrayIcon::Context) raise([](TrayEvents& events) { events.onTrayMenu(); });
    }, Qt::QueuedConnection);
  }
  // Shown even without a tray: Qt puts the icon there if one appears later.
  icon_->show();
}

}  // namespace platform::qt
