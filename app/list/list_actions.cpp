#include "app/list/list_actions.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QUrl>

#include "app/controls/control_captions.h"
#include "app/list/path_export.h"
#include "app/window/app_services.h"
#include "app/window/event_pump.h"
#include "app/window/window_platform.h"
#include "engine/rows/add_row.h"

namespace tarnwick {
namespace {

bool IsListableFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

}  // namespace

void SelectAllRows(QTableView* view) {
  // One selection range for all rows: selecting row by row would take minutes on a
  // million rows.
  view->selectAll();
  view->setFocus(Qt::OtherFocusReason);
}

void ExportPathList(QPushButton* button, const ResultList& list, const WindowPlatform& platform,
                    EventPump& pump) {
  const QString fileName = platform.chooseExportFile();
  if (fileName.isEmpty()) return;
  button->setText(ControlCaption(QT_TRANSLATE_NOOP("Controls", "导出中")));
  const std::string text = PathListText(list, [&pump] { pump.Pump(); });
  QString error;
  if (!WriteWholeFile(fileName, text, &error)) {
    button->setText(ControlCaption("导出"));
    platform.showMessage(QCoreApplication::translate("Messages", "导出失败：%1").arg(error),
                         QMessageBox::Ok, MessageTitle(), QMessageBox::Warning);
    return;
  }
  button->setText(ControlCaption(QT_TRANSLATE_NOOP("Controls", "完成")));
  PumpWait(1000);
  button->setText(ControlCaption("导出"));
}

std::vector<std::string> DroppedPaths(const QMimeData& data) {
  std::vector<std::string> paths;
  for (const QUrl& url : data.urls()) {
    if (!url.isLocalFile()) continue;
    // The percent-encoded path gives back the file system's own bytes, also for names
    // that are not UTF-8.
    const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
    paths.push_back(QByteArray::fromPercentEncoding(encoded).toStdString());
  }
  return paths;
}

void AddDroppedFiles(ResultList& list, const OptionControls& options,
                     const std::vector<std::string>& paths, bool append, EventPump& pump) {
  if (!append) list.Clear();
  for (const std::string& path : paths) {
    if (IsListableFile(path)) AddRow(list, path, 0, 0, std::string(), options);
    pump.Pump();
  }
}

}  // namespace tarnwick
