// Times the result list with a million rows: announcing them, scrolling to the end,
// sorting by a column and back, selecting all, sorting with every row selected, and
// exporting. Run by hand, under a display or with
// QT_QPA_PLATFORM=offscreen:  large_list_timing [rows]

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/controls/control_roster.h"
#include "app/window/main_window.h"

using namespace tarnwick;

namespace {

// The longest time the window went without handling a timer tick: how long it froze.
struct FreezeMeter {
  QElapsedTimer sinceTick;
  qint64 longest = 0;
  void Tick() { longest = std::max(longest, sinceTick.restart()); }
  qint64 Take() {
    const qint64 value = std::max(longest, sinceTick.restart());
    longest = 0;
    return value;
  }
};

FreezeMeter freeze;

void Report(const char* step, QElapsedTimer& timer) {
  QCoreApplication::processEvents();
  std::printf("%-28s %8lld ms   longest freeze %lld ms\n", step,
              static_cast<long long>(timer.restart()), static_cast<long long>(freeze.Take()));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
  QTemporaryDir dir;
  const QString exportFile = dir.filePath(QStringLiteral("paths.txt"));

  WindowPlatform platform;
  platform.showMessage = [](const QString& text, QMessageBox::StandardButtons, const QString&,
                            QMessageBox::Icon) {
    std::printf("message: %s\n", text.toUtf8().constData());
    return QMessageBox::Ok;
  };
  platform.chooseFolder = [](const QString&, const QString&) { return QString(); };
  platform.chooseExportFile = [&exportFile] { return exportFile; };
  platform.isCtrlHeld = [] { return false; };
  MainWindow window(QFile::encodeName(dir.filePath(QStringLiteral("Tarnwick.ini"))).toStdString(),
                    platform);
  window.show();
  QCoreApplication::processEvents();
  auto* view = window.findChild<QTableView*>(QString::fromUtf8(control::kResultList));

  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [] { freeze.Tick(); });
  ticker.start(5);
  freeze.sinceTick.start();

  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < rows; ++i) {
    window.List().Append({"文件" + std::to_string(i) + ".txt", "1.5 KB", "2014-03-05 08:05:09",
                          "1,2345", "/数据/归档/第" + std::to_string(i / 1000) + "卷/"});
  }
  Report("fill row store (no events)", timer);
  QCoreApplication::processEvents();
  Report("announce + first paint", timer);

  view->scrollToBottom();
  view->viewport()->repaint();
  Report("scroll to last row", timer);
  view->scrollToTop();
  view->viewport()->repaint();
  Report("scroll to first row", timer);

  // A click on a header: rising, falling, the job's order.
  QHeaderView* header = view->horizontalHeader();
  for (const auto& [column, step] : {std::pair{0, "sort by name"},
                                     {0, "reverse"},
                                     {0, "back to the job's order"},
                                     {1, "sort by size"},
                                     {1, "reverse"},
                                     {1, "back to the job's order"}}) {
    emit header->sectionClicked(column);
    view->viewport()->repaint();
    Report(step, timer);
  }

  window.findChild<QPushButton*>(QString::fromUtf8(control::kSelectAllButton))->click();
  view->viewport()->repaint();
  Report("select all + paint", timer);
  emit header->sectionClicked(4);
  view->viewport()->repaint();
  Report("sort by folder, all selected", timer);

  // The export waits one second on "完成"; that second is not counted as work.
  window.findChild<QPushButton*>(QString::fromUtf8(control::kExportButton))->click();
  Report("export (+1000 ms on 完成)", timer);
  std::printf("exported bytes: %lld\n", static_cast<long long>(QFileInfo(exportFile).size()));
  return 0;
}
