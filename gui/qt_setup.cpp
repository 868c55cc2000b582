#include "gui/qt_setup.h"

#include <QCoreApplication>

#include "platform/user.h"

namespace gui {

void PrepareQtApplication() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (platform::RunsAsRoot() && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
}

}  // namespace gui
