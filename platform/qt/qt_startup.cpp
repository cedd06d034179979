#include "qt_startup.h"

#include <QByteArray>
#include <QtGlobal>

namespace platform::qt {

void PrepareQtForATinyWindow() {
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", QByteArray("1"));
  if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", QByteArray("1"));
}

}  // namespace platform::qt
