#include "shell/helpabout/program_icon.h"

#include <QString>

// The icons are compiled into this library; a static library needs its
// resources registered by hand, outside any namespace.
static void InitHelpAboutResources() { Q_INIT_RESOURCE(helpabout); }

namespace vambrio::shell {

QIcon ProgramIcon() {
  InitHelpAboutResources();
  QIcon icon;
  for (int size : {48, 128, 256}) {
    icon.addFile(QStringLiteral(":/vambrio/icons/%1/vambrio.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace vambrio::shell
