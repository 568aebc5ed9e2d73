#include "app/list/path_export.h"

#include <QFile>

namespace tarnwick {

std::string PathListText(const ResultList& list, const std::function<void()>& pumpEvents) {
  std::string text;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    if (i > 0) text += "\r\n";
    text += list.FullPath(i);
    if (pumpEvents) pumpEvents();
  }
  return text;
}

bool WriteWholeFile(const QString& fileName, const std::string& text, QString* error) {
  QFile file(fileName);
  const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       file.write(text.data(), static_cast<qint64>(text.size())) ==
                           static_cast<qint64>(text.size()) &&
                       file.flush();
  if (written) {
    file.close();
    if (file.error() == QFileDevice::NoError) return true;
  }
  if (error) *error = file.errorString();
  return false;
}

}  // namespace tarnwick
