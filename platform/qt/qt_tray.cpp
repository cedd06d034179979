#include "qt_tray.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>
#include <csignal>

#include "qt_form.h"

namespace platform::qt {
namespace {

constexpr int WM_LBUTTONDOWN = 0x201, WM_LBUTTONDBLCLK = 0x203, WM_RBUTTONDOWN = 0x204, WM_MBUTTONDOWN = 0x207;

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

}  // namespace

QtTray::QtTray(QtForm& form, const Session& session) : QObject(&form), form_(form), session_(session) {
  recheck_ = new QTimer(this);
  recheck_->setSingleShot(true);
  // Qt's X11 plugin announces each change of the tray (the owner of the
  // system-tray selection) by a signal that QtWidgets itself connects to by
  // name; its class is private to Qt, a QObject all the same.
  auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
  if (native && native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") >= 0)
    connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), recheck_, SLOT(start()));
  // A StatusNotifierItem tray is the watcher on the session bus: a panel
  // that crashes takes it along.
  if (QDBusConnection::sessionBus().isConnected()) {
    auto* watcher = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                                            QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, recheck_, qOverload<>(&QTimer::start));
    // A panel's host announcing itself to a watcher that was already there.
    QDBusConnection::sessionBus().connect(QString(), QStringLiteral("/StatusNotifierWatcher"),
                                          QStringLiteral("org.kde.StatusNotifierWatcher"),
                                          QStringLiteral("StatusNotifierHostRegistered"), recheck_, SLOT(start()));
  }
  connect(recheck_, &QTimer::timeout, this, [this] {
    const bool hasTray = available();
    if (hadTray_ && !hasTray) form_.raise([](FormHandlers& h) { h.onTrayGone(); });
    hadTray_ = hasTray;
    // Where Qt took the StatusNotifierItem way, a registered host makes the
    // tray available; so here Qt did not, and will not.
    if (!hasTray && !startAgain_ && statusNotifierHostRegistered()) {
      startAgain_ = true;
      std::raise(SIGTERM);  // unwinds any menu or box, and unloads from main
    }
  });
  hadTray_ = available();
}

QtTray::~QtTray() = default;

std::int32_t QtTray::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  if (message == NIM_DELETE) {
    // Quitting may run inside one of the icon's own handlers, and hiding an
    // XEmbed icon destroys the widget that handler belongs to: the icon
    // goes as soon as the handler has returned.
    if (!icon_ || !icon_->isVisible()) return 0;
    QMetaObject::invokeMethod(icon_, &QSystemTrayIcon::hide, Qt::QueuedConnection);
    return 1;
  }
  if (message != NIM_ADD || (icon_ && icon_->isVisible()) || data.uCallbackMessage != 0x200) return 0;
  if (icon_) {
    icon_->show();
    return 1;
  }
  icon_ = new QSystemTrayIcon(trayIcon(form_.icon()), this);
  const auto* tip = reinterpret_cast<const char*>(data.szTip.data());
  const std::string text = session_.fromAnsi(std::string_view(tip, std::find(tip, tip + data.szTip.size(), '\0') - tip));
  icon_->setToolTip(QString::fromStdString(text));
  // Queued: a StatusNotifierItem press is a D-Bus call that the panel waits
  // on, and the right press runs the popup menu's own loop until the menu
  // closes; the panel gets its answer first.
  connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    int code = 0;
    switch (reason) {
      case QSystemTrayIcon::Trigger: code = WM_LBUTTONDOWN; break;
      case QSystemTrayIcon::Context: code = WM_RBUTTONDOWN; break;
      case QSystemTrayIcon::DoubleClick: code = WM_LBUTTONDBLCLK; break;
      case QSystemTrayIcon::MiddleClick: code = WM_MBUTTONDOWN; break;
      default: return;
    }
    const float x = static_cast<float>(code) * form_.twipsPerPixelX();
    form_.raise([x](FormHandlers& h) { h.onMouseMove(FormItself, 0, 0, x, 0); });
  }, Qt::QueuedConnection);
  // Shown even without a tray: Qt puts the icon there if one appears later.
  icon_->show();
  return 1;
}

bool QtTray::available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool QtTray::statusNotifierHostRegistered() const {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage get = QDBusMessage::createMethodCall(QStringLiteral("org.kde.StatusNotifierWatcher"),
                                                    QStringLiteral("/StatusNotifierWatcher"),
                                                    QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << QStringLiteral("org.kde.StatusNotifierWatcher") << QStringLiteral("IsStatusNotifierHostRegistered");
  const QDBusMessage reply = bus.call(get, QDBus::Block, 1000);
  return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
         qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
}

}  // namespace platform::qt
