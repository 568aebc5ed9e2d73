// Times deleting many listed files from the window: the whole operation against the
// unlink calls alone, so what is left is the list's own work. Run by hand, under a
// display or with QT_QPA_PLATFORM=offscreen:
//
//   delete_rows_timing [files] [every]
//
// `files` files (default 40000) are made in a temporary folder and listed; every
// `every`-th row (default 1: all of them, as 全选 selects them) is selected and deleted
// for good.

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/controls/control_roster.h"
#include "app/window/main_window.h"

using namespace tarnwick;

namespace {

std::vector<std::string> MakeFiles(const std::string& folder, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    names.push_back("file" + std::to_string(i) + ".txt");
    ::close(::open((folder + names.back()).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
  }
  return names;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const int files = argc > 1 ? std::atoi(argv[1]) : 40000;
  const int every = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  QTemporaryDir dir;
  const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/";

  // The unlink calls alone, on as many files as the window will delete.
  const int deleted = (files + every - 1) / every;
  QElapsedTimer timer;
  std::vector<std::string> names = MakeFiles(folder, deleted);
  timer.start();
  for (const std::string& name : names) ::unlink((folder + name).c_str());
  const qint64 unlinkMs = timer.elapsed();

  WindowPlatform platform;
  platform.showMessage = [](const QString&, QMessageBox::StandardButtons, const QString&,
                            QMessageBox::Icon) { return QMessageBox::Ok; };
  platform.chooseFolder = [](const QString&, const QString&) { return QString(); };
  platform.chooseExportFile = [] { return QString(); };
  platform.isCtrlHeld = [] { return false; };
  MainWindow window(folder + "Tarnwick.ini", platform);
  window.show();
  names = MakeFiles(folder, files);
  for (const std::string& name : names) window.List().Append({name, "0 B", "", "0", folder});
  QCoreApplication::processEvents();

  auto* view = window.findChild<QTableView*>(QString::fromUtf8(control::kResultList));
  // One range per selected run of rows, as the view's own selecting makes them.
  QItemSelection selection;
  const int lastColumn = view->model()->columnCount() - 1;
  for (int row = 0; row < files; row += every) {
    const int last = every == 1 ? files - 1 : row;
    selection.select(view->model()->index(row, 0), view->model()->index(last, lastColumn));
    if (every == 1) break;
  }
  view->selectionModel()->select(selection,
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
  timer.restart();
  window.findChild<QPushButton*>(QStringLiteral("按钮删除"))->click();
  QCoreApplication::processEvents();
  const qint64 totalMs = timer.elapsed();

  std::printf(
      "%d of %d rows deleted: %lld ms in all, %lld ms of unlink calls, %lld ms of list work\n",
      files - static_cast<int>(window.List().Count()), files, static_cast<long long>(totalMs),
      static_cast<long long>(unlinkMs), static_cast<long long>(totalMs - unlinkMs));
  return 0;
}
