#include "platform/desktop/open_file.h"

#include <QByteArray>
#include <QDesktopServices>

namespace tarnwick {

QUrl FileUrl(const std::string& path) {
  const QByteArray encoded = QByteArray::fromStdString(path).toPercentEncoding("/");
  return QUrl::fromEncoded(QByteArrayLiteral("file://") + encoded, QUrl::StrictMode);
}

bool OpenWithAssociatedProgram(const std::string& path) {
  return QDesktopServices::openUrl(FileUrl(path));
}

}  // namespace tarnwick
