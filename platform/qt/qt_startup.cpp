#include "qt_startup.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtGlobal>

#include "texts.h"

namespace platform::qt {
namespace {

bool choseX11 = false;

}  // namespace

void PrepareQtForATinyWindow() {
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", QByteArray("1"));
  if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", QByteArray("1"));
}

void PreferX11OnWayland() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
      qEnvironmentVariableIsEmpty("DISPLAY"))
    return;
  qputenv("QT_QPA_PLATFORM", QByteArray("xcb"));
  choseX11 = true;
}

void ForgetPlatformChoice() {
  if (choseX11) qunsetenv("QT_QPA_PLATFORM");
  choseX11 = false;
}

void NoteWaylandLimits(Session& session) {
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) session.warn(texts::WaylandLimits);
}

}  // namespace platform::qt
