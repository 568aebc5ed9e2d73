#include "platform/desktop/locate_file.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>

#include "platform/desktop/open_file.h"

namespace tarnwick {
namespace {

// Long enough for a file manager that is started on demand, short enough not to freeze
// the window when the bus does not answer.
constexpr int kCallTimeoutMs = 3000;

// The folder part of an absolute path: "/" for a file in the root.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

bool AskFileManager(const std::string& path) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"),
      QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  const QString uri = QString::fromLatin1(FileUrl(path).toEncoded());
  call << QStringList{uri} << QString();
  return bus.call(call, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace

void ShowInFileManager(const std::string& path) {
  if (AskFileManager(path)) return;
  OpenWithAssociatedProgram(FolderOf(path));
}

}  // namespace tarnwick
