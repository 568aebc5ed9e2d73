#include "app/list/path_export.h"

#include <QFile>

namespace tarnwick {

std::string PathListText(ResultModel& model, const ResultList& list,
                         const std::function<void()>& pumpEvents) {
  std::string text;
  bool first = true;
  // Rows added to the list and not yet shown are exported too, in their places.
  model.Flush();
  for (int viewRow = 0; viewRow < model.rowCount(); ++viewRow) {
    if (const std::optional<std::size_t> row = model.ListRow(viewRow)) {
      if (!first) text += "\r\n";
      text += list.FullPath(*row);
      first = false;
    }
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
