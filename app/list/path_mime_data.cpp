#include "app/list/path_mime_data.h"

#include <QList>
#include <QMimeData>
#include <QUrl>

#include "app/list/path_display_text.h"
#include "platform/desktop/open_file.h"

namespace tarnwick {

QMimeData* NewPathMimeData(const std::vector<std::string>& paths) {
  QStringList shown;
  QList<QUrl> urls;
  for (const std::string& path : paths) {
    shown << PathDisplayText(path);
    urls << FileUrl(path);
  }
  auto* data = new QMimeData;
  data->setUrls(urls);
  data->setText(shown.join(QStringLiteral("\r\n")));
  return data;
}

}  // namespace tarnwick
