#include "qt_shell.h"

#include <QDesktopServices>
#include <QUrl>

#include "qt_startup.h"

namespace platform::qt {

std::int32_t QtShell::ShellExecuteA(std::uint32_t, std::string_view operation, std::string_view file, const char*,
                                     std::string_view, int) {
  if (operation != "open") return 0;
  // The text as given: no encoding or decoding of the URL on the way.
  const std::string text = session_.fromAnsi(file);
  const QUrl url = QUrl::fromEncoded(QByteArray(text.data(), qsizetype(text.size())), QUrl::TolerantMode);
  // The opener is started before openUrl returns.
  const UsersEnvironment users;
  return QDesktopServices::openUrl(url) ? 33 : 2;
}

}  // namespace platform::qt
