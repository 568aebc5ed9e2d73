#include "app/desktop_identity.h"

#include <QGuiApplication>
#include <QIcon>

namespace tarnwick {

void SetDesktopIdentity(QGuiApplication& application) {
  QGuiApplication::setApplicationName(QStringLiteral("tarnwick"));
  QGuiApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(kDesktopId));
  // The icon is drawn once as SVG and rendered to these sizes when the program is
  // built; Qt picks the one that fits.
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  }
  application.setWindowIcon(icon);
}

}  // namespace tarnwick
