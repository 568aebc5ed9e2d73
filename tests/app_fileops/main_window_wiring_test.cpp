// The file operations inside the real main window: its buttons reach them, and the
// remembered move and copy folders survive a restart through the settings file.

#include <QFile>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "operations_host.h"
#include "results/path_parts.h"

using namespace tarnwick;
using namespace tarnwick::testing;

class MainWindowWiringTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QStringList messages_;
  QString folderToChoose_;

  std::string Path(const std::string& relative) const {
    return dir_.path().toStdString() + "/" + relative;
  }

  std::unique_ptr<MainWindow> Open() {
    WindowPlatform platform;
    platform.showMessage = [this](const QString& text, QMessageBox::StandardButtons, const QString&,
                                  QMessageBox::Icon) {
      messages_ << text;
      return QMessageBox::Ok;
    };
    platform.chooseFolder = [this](const QString&, const QString&) { return folderToChoose_; };
    platform.chooseExportFile = [] { return QString(); };
    platform.isCtrlHeld = [] { return false; };
    auto window = std::make_unique<MainWindow>(Path("Tarnwick.ini"), platform);
    window->show();
    return window;
  }

  static void List(MainWindow& window, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
      window.List().Append(
          ResultRow{FileNamePart(path), "0 B", "", "0", path.substr(0, path.rfind('/') + 1)});
    }
    QCoreApplication::processEvents();
    window.ListView()->selectAll();
  }

  static void Click(MainWindow& window, const char* button) {
    window.findChild<QPushButton*>(QString::fromUtf8(button))->click();
  }

 private slots:
  void moveAndDeleteFromTheWindowAndTheMoveFolderPersists() {
    WriteFile(Path("a/one.txt"), "1");
    WriteFile(Path("a/two.txt"), "2");
    QDir().mkpath(QString::fromStdString(Path("dest")));
    {
      auto window = Open();
      List(*window, {Path("a/one.txt"), Path("a/two.txt")});
      folderToChoose_ = QString::fromStdString(Path("dest"));
      Click(*window, "按钮移动");
      QCOMPARE(window->List().FullPath(1), Path("dest/two.txt"));
      QCOMPARE(ReadFile(Path("dest/one.txt")), std::string("1"));
      window->close();
    }
    auto window = Open();
    QCOMPARE(window->Options().Text(Field::MoveFolder), Path("dest/"));
    List(*window, {Path("dest/one.txt")});
    Click(*window, "按钮删除");
    QCOMPARE(messages_.last(),
             QStringLiteral("确定要彻底删除选择的 1 个文件吗？\n\n如果需要删除到回收站，"
                            "请按住Ctrl键重新点击删除按钮"));
    QVERIFY(!Exists(Path("dest/one.txt")));
    QCOMPARE(window->List().Count(), std::size_t{0});
  }
};

QTEST_MAIN(MainWindowWiringTest)
#include "main_window_wiring_test.moc"
