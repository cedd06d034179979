#include "qt_shell.h"

#include <QDesktopServices>
#include <QUrl>

#include "qt_startup.h"

namespace platform::qt {

void QtShell::openUrl(std::string_view url) {
  // The text as given: no encoding or decoding of the URL on the way.
  const QUrl parsed = QUrl::fromEncoded(QByteArray(url.data(), qsizetype(url.size())), QUrl::TolerantMode);
  // The opener is started before openUrl returns.
  const UsersEnvironment users;
  QDesktopServices::openUrl(parsed);
}

}  // namespace platform::qt
