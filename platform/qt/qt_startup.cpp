#include "qt_startup.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <QTimer>
#include <QtGlobal>
#include <fontconfig/fontconfig.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "note.h"
#include "texts.h"

namespace platform::qt {
namespace {

struct Setting {
  const char* name;
  const char* value;
};
std::vector<Setting> setForStartup;  // taken back once Qt has started
std::vector<Setting> setForTheRun;   // read again as each of Qt's threads starts
QtMessageHandler qtHandler = nullptr;

void setUnlessChosen(const char* name, const char* value, std::vector<Setting>& until = setForStartup) {
  if (qEnvironmentVariableIsSet(name)) return;
  qputenv(name, QByteArray(value));
  until.push_back({name, value});
}

void onStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
    WriteNote(texts::NoDisplay);
    std::_Exit(1);
  }
  qtHandler(type, context, message);
}

}  // namespace

void PrepareQtForATinyWindow() {
  setUnlessChosen("QT_XCB_NO_MITSHM", "1");
  // Each thread Qt starts later (its D-Bus connection's, for the tray)
  // reads it again: left out, that thread would run GLib's loop.
  setUnlessChosen("QT_NO_GLIB", "1", setForTheRun);
  setUnlessChosen("QT_IM_MODULE", "none");
}

void OneMallocArena() { mallopt(M_ARENA_MAX, 1); }

void TrimMemoryAfterStartup() {
  QTimer::singleShot(1000, [] { malloc_trim(0); });
}

void ReportNoDisplayPlainly() { qtHandler = qInstallMessageHandler(onStartupMessage); }

void FinishQtStartup() {
  if (qtHandler) qInstallMessageHandler(qtHandler);
  for (const Setting& setting : setForStartup) qunsetenv(setting.name);
  setForStartup.clear();
}

UsersEnvironment::UsersEnvironment() {
  for (const Setting& setting : setForTheRun) qunsetenv(setting.name);
}

UsersEnvironment::~UsersEnvironment() {
  for (const Setting& setting : setForTheRun) qputenv(setting.name, QByteArray(setting.value));
}

void PreferX11OnWayland() {
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")) return;
  setUnlessChosen("QT_QPA_PLATFORM", "xcb");
}

void NoteWaylandLimits() {
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) WriteNote(texts::WaylandLimits);
}

// Fontconfig keeps the first configuration that finishes loading; Qt's own
// FcInit() then finds it ready.
FontConfigInAdvance::FontConfigInAdvance() {
  try {
    reader_ = std::thread([] { FcInit(); });
  } catch (const std::system_error&) {
    FcInit();  // no thread to be had: read it here, only later
  }
}

void FontConfigInAdvance::wait() {
  if (reader_.joinable()) reader_.join();
}

void StartAgain(char** argv) {
  // The fresh start makes the same choices itself, and takes them back.
  const UsersEnvironment users;
  ::execv("/proc/self/exe", argv);
  std::perror("pelmodesk: /proc/self/exe");
}

}  // namespace platform::qt
