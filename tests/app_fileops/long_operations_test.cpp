// Delete, move and copy from the window: confirmations, progress texts, bottom-up order,
// the stop press, the busy check, the remembered folders and the summaries.

#include <QTemporaryDir>
#include <QTest>

#include "app/window_options.h"
#include "operations_host.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

QByteArray Bytes(const std::string& text) { return QByteArray::fromStdString(text); }

// Events handled while the operation's own loop runs (not while it asks about Ctrl).
bool Running(OperationsHost& host, const char* button) {
  return host.Button(button)->text() == QStringLiteral("停止");
}

}  // namespace

class LongOperationsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::string Path(const std::string& relative) const {
    return dir_->path().toStdString() + "/" + relative;
  }
  // Lists `count` new files a/file<i>.txt in the host.
  void AddFiles(OperationsHost& host, int count) {
    for (int i = 0; i < count; ++i) {
      const std::string path = Path("a/file" + std::to_string(i) + ".txt");
      WriteFile(path, "content " + std::to_string(i));
      host.AddFile(path);
    }
  }

 private slots:
  void init() { dir_ = std::make_unique<QTemporaryDir>(); }

  void deleteKeepsTheRowOfAFileThatCannotBeDeleted() {
    OperationsHost host;
    AddFiles(host, 5);
    // A row that names a folder: it cannot be deleted as a file, not even by root.
    QFile::remove(QString::fromStdString(Path("a/file1.txt")));
    QDir().mkpath(QString::fromStdString(Path("a/file1.txt")));
    host.SelectRows({0, 1, 2, 3, 4});
    host.Button("按钮删除")->click();

    QCOMPARE(host.messages, QStringList{QStringLiteral(
                                "确定要彻底删除选择的 5 个文件吗？\n\n如果需要删除到回收站，"
                                "请按住Ctrl键重新点击删除按钮")});
    QCOMPARE(host.Paths(), std::vector<std::string>{Path("a/file1.txt")});
    for (int i : {0, 2, 3, 4}) QVERIFY(!Exists(Path("a/file" + std::to_string(i) + ".txt")));
    QVERIFY(host.ProgressText().startsWith(
        QStringLiteral("删除完毕！共 5 个文件，成功删除 4 个文件，耗时(")));
    QVERIFY(host.ProgressText().endsWith(QStringLiteral(")")));
    QCOMPARE(host.ProgressValue(), 0);
    QCOMPARE(host.Button("按钮删除")->text(), QStringLiteral("删除"));
    QVERIFY(host.Stop().IsSet());
  }

  void deleteWithCtrlGoesToTheTrashFromTheBottomUp() {
    OperationsHost host;
    AddFiles(host, 8);
    host.SelectRows({7, 1, 3});
    host.ctrlHeld = true;
    QStringList progress;
    host.trash = [&](const std::string& path) {
      progress << host.ProgressText();
      host.ctrlHeld = false;  // releasing Ctrl now changes nothing for this run
      return path != Path("a/file3.txt");
    };
    host.Button("按钮删除")->click();

    QCOMPARE(host.messages, QStringList{QStringLiteral("确定要将选择的 3 个文件移到回收站吗？")});
    const QString folder = QString::fromStdString(Path("a/"));
    QCOMPARE(
        progress,
        (QStringList{QStringLiteral("(3:3) 正在删除 >> ") + folder + QStringLiteral("file7.txt"),
                     QStringLiteral("(3:2) 正在删除 >> ") + folder + QStringLiteral("file3.txt"),
                     QStringLiteral("(3:1) 正在删除 >> ") + folder + QStringLiteral("file1.txt")}));
    QCOMPARE(host.List().Count(), std::size_t{6});
    QCOMPARE(host.List().FullPath(2), Path("a/file3.txt"));
    QVERIFY(
        host.ProgressText().startsWith(QStringLiteral("删除完毕！共 3 个文件，成功删除 2 个文件")));
  }

  void deleteWithCtrlPutsTheFileIntoTheUsersTrash() {
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(Path("data")));
    OperationsHost host;
    const std::string file = Path("docs/报告.txt");
    WriteFile(file, "keep me restorable");
    host.AddFile(file);
    host.SelectRows({0});
    host.ctrlHeld = true;
    host.Button("按钮删除")->click();
    qputenv("XDG_DATA_HOME", savedDataHome);

    QVERIFY(!Exists(file));
    QCOMPARE(Bytes(ReadFile(Path("data/Trash/files/报告.txt"))), QByteArray("keep me restorable"));
    QVERIFY(Bytes(ReadFile(Path("data/Trash/info/报告.txt.trashinfo")))
                .startsWith("[Trash Info]\nPath=" +
                            QByteArray::fromStdString(Path("docs/")).toPercentEncoding("/") +
                            "%E6%8A%A5%E5%91%8A.txt\nDeletionDate="));
    QCOMPARE(host.List().Count(), std::size_t{0});
  }

  void aCancelledQuestionOrChooserTouchesNothing() {
    OperationsHost host;
    AddFiles(host, 2);
    host.Options().SetText(Field::CopyFolder, Path("before/"));
    host.SelectRows({0, 1});
    host.answer = QMessageBox::Cancel;
    host.Button("按钮删除")->click();
    host.Button("按钮复制")->click();
    QCOMPARE(host.initialFolders, QStringList{QString::fromStdString(Path("before/"))});
    QCOMPARE(host.Options().Text(Field::CopyFolder), Path("before/"));
    QCOMPARE(host.List().Count(), std::size_t{2});
    QVERIFY(Exists(Path("a/file0.txt")));
    QCOMPARE(host.ProgressText(), QString());
    QVERIFY(host.Stop().IsSet());
  }
  void aPressOfTheRunningButtonStopsAfterTheFileInHand() {
    OperationsHost host;
    AddFiles(host, 20);
    host.SelectRows({});
    host.ListView()->selectAll();
    int pumps = 0;
    QString captionAfterPress;
    host.whileRunning = [&] {
      if (!Running(host, "按钮删除") || ++pumps != 5) return;
      host.Button("按钮删除")->click();
      captionAfterPress = host.Button("按钮删除")->text();
    };
    host.Button("按钮删除")->click();

    QCOMPARE(captionAfterPress, QStringLiteral("停止中"));
    // Rows 19..16 went with the first four handlings of events; the press came with the
    // fifth, before row 15, which is still deleted; then the run ends.
    QCOMPARE(host.List().Count(), std::size_t{15});
    QVERIFY(Exists(Path("a/file14.txt")));
    QVERIFY(!Exists(Path("a/file15.txt")));
    QVERIFY(host.ProgressText().startsWith(
        QStringLiteral("删除完毕！共 20 个文件，成功删除 5 个文件")));
    QCOMPARE(host.Button("按钮删除")->text(), QStringLiteral("删除"));
    QVERIFY(host.Stop().IsSet());
  }

  void anotherLongOperationIsRefusedWhileOneRuns() {
    OperationsHost host;
    AddFiles(host, 3);
    host.SelectRows({0, 1, 2});
    host.folderToChoose = QString::fromStdString(Path("b"));
    QDir().mkpath(host.folderToChoose);
    bool tried = false;
    host.whileRunning = [&] {
      if (tried || !Running(host, "按钮删除")) return;
      tried = true;
      host.Button("按钮移动")->click();
      host.Button("按钮复制")->click();
    };
    host.Button("按钮删除")->click();
    QCOMPARE(host.messages.mid(1),
             QStringList(2, QStringLiteral("在开始新操作之前请先停止正在执行的操作！")));
    QCOMPARE(host.prompts.size(), 0);
    QCOMPARE(host.List().Count(), std::size_t{0});
    QCOMPARE(host.Button("按钮移动")->text(), QStringLiteral("移动"));
  }

  // The list may be refilled while an operation runs (a drop is not refused): rows that
  // now name other files are left alone.
  void rowsReplacedDuringARunAreNotTouched() {
    OperationsHost host;
    AddFiles(host, 4);
    const std::string dropped = Path("other/dropped.txt");
    WriteFile(dropped, "not selected");
    host.SelectRows({0, 1, 2, 3});
    bool refilled = false;
    host.whileRunning = [&] {
      if (refilled || !Running(host, "按钮删除")) return;
      refilled = true;
      host.List().Clear();
      for (int i = 0; i < 4; ++i) host.AddFile(dropped);
    };
    host.Button("按钮删除")->click();
    QCOMPARE(Bytes(ReadFile(dropped)), QByteArray("not selected"));
    QCOMPARE(host.List().Count(), std::size_t{4});
    QVERIFY(
        host.ProgressText().startsWith(QStringLiteral("删除完毕！共 4 个文件，成功删除 0 个文件")));
  }

  void moveRewritesTheFolderOfMovedRowsAndRemembersTheFolder() {
    OperationsHost host;
    AddFiles(host, 3);
    WriteFile(Path("b/file2.txt"), "replaced by the move");
    host.SelectRows({1, 2});
    host.folderToChoose = QString::fromStdString(Path("b"));
    host.Button("按钮移动")->click();

    QCOMPARE(host.prompts, QStringList{QStringLiteral("将选择的 2 个文件移动到的目录：")});
    QCOMPARE(host.initialFolders, QStringList{QString()});
    QCOMPARE(host.Paths(), (std::vector<std::string>{Path("a/file0.txt"), Path("b/file1.txt"),
                                                     Path("b/file2.txt")}));
    QCOMPARE(Bytes(ReadFile(Path("b/file2.txt"))), QByteArray("content 2"));
    QVERIFY(!Exists(Path("a/file1.txt")));
    QVERIFY(host.ProgressText().startsWith(
        QStringLiteral("移动完毕！共 2 个文件，成功移动 2 个文件，耗时 ")));
    QCOMPARE(host.Options().Text(Field::MoveFolder), Path("b/"));
    QCOMPARE(host.Options().Text(Field::CopyFolder), std::string());

    // The next move starts where the last one went.
    host.SelectRows({0});
    host.folderToChoose.clear();
    host.Button("按钮移动")->click();
    QCOMPARE(host.initialFolders.last(), QString::fromStdString(Path("b/")));
    QCOMPARE(host.Options().Text(Field::MoveFolder), Path("b/"));
    QVERIFY(Exists(Path("a/file0.txt")));
  }

  void copyLeavesTheRowsAndOverwrites() {
    OperationsHost host;
    AddFiles(host, 2);
    WriteFile(Path("c/file0.txt"), "old");
    host.SelectRows({0, 1});
    host.folderToChoose = QString::fromStdString(Path("c"));
    host.Button("按钮复制")->click();
    QCOMPARE(host.prompts, QStringList{QStringLiteral("将选择的 2 个文件复制到的目录：")});
    QCOMPARE(Bytes(ReadFile(Path("c/file0.txt"))), QByteArray("content 0"));
    QCOMPARE(Bytes(ReadFile(Path("c/file1.txt"))), QByteArray("content 1"));
    QCOMPARE(host.Paths(), (std::vector<std::string>{Path("a/file0.txt"), Path("a/file1.txt")}));
    QVERIFY(
        host.ProgressText().startsWith(QStringLiteral("复制完毕！共 2 个文件，成功复制 2 个文件")));
    QCOMPARE(host.Button("按钮复制")->text(), QStringLiteral("复制"));
  }

  void withoutASelectionEachOperationSaysWhatToSelect() {
    const struct {
      const char* button;
      const char* message;
    } cases[] = {
        {"按钮删除", "请先选择要删除的文件！"},       {"按钮移动", "请先选择要移动的文件！"},
        {"按钮复制", "请先选择要复制的文件！"},       {"按钮打开", "请先选择要打开的文件！"},
        {"按钮定位", "请先选择要定位到目录的文件！"},
    };
    OperationsHost host;
    AddFiles(host, 1);
    for (const auto& c : cases) {
      host.messages.clear();
      host.Button(c.button)->click();
      QCOMPARE(host.messages, QStringList{QString::fromUtf8(c.message)});
    }
    QCOMPARE(host.prompts.size(), 0);
    QVERIFY(Exists(Path("a/file0.txt")));
    host.messages.clear();
    host.Button("按钮查看")->click();
    host.Button("按钮复制路径")->click();
    QCOMPARE(host.messages, QStringList());
  }
};

QTEST_MAIN(LongOperationsTest)
#include "long_operations_test.moc"
