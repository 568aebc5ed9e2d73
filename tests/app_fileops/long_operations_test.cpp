// Delete, move and copy from the window: confirmations, progress texts, bottom-up order,
// the stop press, the busy check, the remembered folders and the summaries.

#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include "operations_host.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

QByteArray Bytes(const std::string& text) { return QByteArray::fromStdString(text); }

bool StartsWith(const QString& text, const char* start) {
  return text.startsWith(QString::fromUtf8(start));
}

}  // namespace

class LongOperationsTest : public QObject {
  Q_OBJECT

 private slots:
  void deleteKeepsTheRowOfAFileThatCannotBeDeleted() {
    OperationsHost host;
    host.AddFiles(5);
    // A row that names a folder: it cannot be deleted as a file, not even by root.
    QFile::remove(QString::fromStdString(host.Path("a/file1.txt")));
    QDir().mkpath(QString::fromStdString(host.Path("a/file1.txt")));
    host.SelectRows({0, 1, 2, 3, 4});
    host.Button("按钮删除")->click();

    QCOMPARE(host.boxes, QList{Information(QStringLiteral("确定要彻底删除选择的 5 个文件吗？\n\n"
                                                          "如果需要删除到回收站，"
                                                          "请按住Ctrl键重新点击删除按钮"),
                                           QMessageBox::Ok | QMessageBox::Cancel)});
    QCOMPARE(host.Paths(), std::vector<std::string>{host.Path("a/file1.txt")});
    for (int i : {0, 2, 3, 4}) QVERIFY(!Exists(host.Path("a/file" + std::to_string(i) + ".txt")));
    QVERIFY(StartsWith(host.ProgressText(), "删除完毕！共 5 个文件，成功删除 4 个文件，耗时("));
    QCOMPARE(host.Button("按钮删除")->text(), QStringLiteral("删除"));
    QVERIFY(host.Stop().IsSet());
  }

  // The rows of deleted files leave the list in batches, not one signal per file; the
  // rows kept between them stay in order.
  void deletedRowsLeaveTheListInBatches() {
    OperationsHost host;
    host.AddFiles(1000);
    QAbstractItemModel* model = host.ListView()->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    QItemSelection selection;
    for (int row = 0; row < 1000; ++row) {
      if (row % 7 != 0) selection.select(model->index(row, 0), model->index(row, 0));
    }
    host.ListView()->selectionModel()->select(
        selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    host.Button("按钮删除")->click();

    QVERIFY(StartsWith(host.ProgressText(), "删除完毕！共 857 个文件，成功删除 857 个文件"));
    QCOMPARE(model->rowCount(), 143);
    for (int row = 0; row < 143; ++row) {
      QCOMPARE(host.List().FullPath(static_cast<std::size_t>(row)),
               host.Path("a/file" + std::to_string(row * 7) + ".txt"));
    }
    // One signal per run of each batch: far fewer than one per file.
    QVERIFY2(removed.size() < 300, qPrintable(QString::number(removed.size())));
  }

  void deleteWithCtrlGoesToTheTrashFromTheBottomUp() {
    OperationsHost host;
    host.AddFiles(8);
    host.SelectRows({7, 1, 3});
    host.ctrlHeld = true;
    QStringList progress;
    host.trash = [&](const std::string& path) {
      progress << host.ProgressText();
      host.ctrlHeld = false;  // releasing Ctrl now changes nothing for this run
      return path != host.Path("a/file3.txt");
    };
    host.Button("按钮删除")->click();

    QCOMPARE(host.boxes, QList{Information(QStringLiteral("确定要将选择的 3 个文件移到回收站吗？"),
                                           QMessageBox::Ok | QMessageBox::Cancel)});
    const QString folder = QString::fromStdString(host.Path("a/"));
    QCOMPARE(
        progress,
        (QStringList{QStringLiteral("(3:3) 正在删除 >> ") + folder + QStringLiteral("file7.txt"),
                     QStringLiteral("(3:2) 正在删除 >> ") + folder + QStringLiteral("file3.txt"),
                     QStringLiteral("(3:1) 正在删除 >> ") + folder + QStringLiteral("file1.txt")}));
    QCOMPARE(host.List().Count(), std::size_t{6});
    QCOMPARE(host.List().FullPath(2), host.Path("a/file3.txt"));
    QVERIFY(StartsWith(host.ProgressText(), "删除完毕！共 3 个文件，成功删除 2 个文件"));
  }

  void deleteWithCtrlPutsTheFileIntoTheUsersTrash() {
    OperationsHost host;
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", Bytes(host.Path("data")));
    host.Add("docs/报告.txt", "keep me restorable");
    host.SelectRows({0});
    host.ctrlHeld = true;
    host.Button("按钮删除")->click();
    qputenv("XDG_DATA_HOME", savedDataHome);

    QVERIFY(!Exists(host.Path("docs/报告.txt")));
    QCOMPARE(ReadFile(host.Path("data/Trash/files/报告.txt")), "keep me restorable");
    QVERIFY(
        Bytes(ReadFile(host.Path("data/Trash/info/报告.txt.trashinfo")))
            .startsWith("[Trash Info]\nPath=" + Bytes(host.Path("docs/")).toPercentEncoding("/") +
                        "%E6%8A%A5%E5%91%8A.txt\nDeletionDate="));
    QCOMPARE(host.List().Count(), std::size_t{0});
  }

  void aCancelledQuestionOrChooserTouchesNothing() {
    OperationsHost host;
    host.AddFiles(2);
    host.Options().SetText(Field::CopyFolder, host.Path("before/"));
    host.SelectRows({0, 1});
    host.answer = QMessageBox::Cancel;
    host.Button("按钮删除")->click();
    host.Button("按钮复制")->click();
    QCOMPARE(host.initialFolders, QStringList{QString::fromStdString(host.Path("before/"))});
    QCOMPARE(host.Options().Text(Field::CopyFolder), host.Path("before/"));
    QCOMPARE(host.List().Count(), std::size_t{2});
    QVERIFY(Exists(host.Path("a/file0.txt")));
    QCOMPARE(host.ProgressText(), QString());
  }

  void aPressOfTheRunningButtonStopsAfterTheFileInHand() {
    OperationsHost host;
    host.AddFiles(20);
    host.ListView()->selectAll();
    int pumps = 0;
    QString captionAfterPress;
    host.whileRunning = [&] {
      if (!host.Running("按钮删除") || ++pumps != 5) return;
      host.Button("按钮删除")->click();
      captionAfterPress = host.Button("按钮删除")->text();
    };
    host.Button("按钮删除")->click();

    QCOMPARE(captionAfterPress, QStringLiteral("停止中"));
    // Rows 19..16 went with the first four handlings of events; the press came with the
    // fifth, before row 15, which is still deleted; then the run ends.
    QCOMPARE(host.List().Count(), std::size_t{15});
    QVERIFY(Exists(host.Path("a/file14.txt")));
    QVERIFY(!Exists(host.Path("a/file15.txt")));
    QVERIFY(StartsWith(host.ProgressText(), "删除完毕！共 20 个文件，成功删除 5 个文件"));
    QCOMPARE(host.Button("按钮删除")->text(), QStringLiteral("删除"));
    QVERIFY(host.Stop().IsSet());
  }

  void anotherLongOperationIsRefusedWhileOneRuns() {
    OperationsHost host;
    host.AddFiles(3);
    host.SelectRows({0, 1, 2});
    host.folderToChoose = QString::fromStdString(host.Path("b"));
    QDir().mkpath(host.folderToChoose);
    bool tried = false;
    host.whileRunning = [&] {
      if (tried || !host.Running("按钮删除")) return;
      tried = true;
      host.Button("按钮移动")->click();
      host.Button("按钮复制")->click();
    };
    host.Button("按钮删除")->click();
    QCOMPARE(host.messages.mid(1),
             QStringList(2, QStringLiteral("在开始新操作之前请先停止正在执行的操作！")));
    QCOMPARE(host.prompts.size(), 0);
    QCOMPARE(host.List().Count(), std::size_t{0});
  }

  // The list may be refilled while an operation runs (a drop is not refused): rows that
  // now name other files are left alone.
  void rowsReplacedDuringARunAreNotTouched() {
    OperationsHost host;
    host.AddFiles(4);
    const std::string dropped = host.Path("other/dropped.txt");
    WriteFile(dropped, "not selected");
    host.SelectRows({0, 1, 2, 3});
    bool refilled = false;
    host.whileRunning = [&] {
      if (refilled || !host.Running("按钮删除")) return;
      refilled = true;
      host.List().Clear();
      for (int i = 0; i < 4; ++i) host.AddRow(dropped);
    };
    host.Button("按钮删除")->click();
    QCOMPARE(ReadFile(dropped), "not selected");
    QCOMPARE(host.List().Count(), std::size_t{4});
    QVERIFY(StartsWith(host.ProgressText(), "删除完毕！共 4 个文件，成功删除 0 个文件"));
  }

  // Files removed by another program since they were listed: their rows leave the list
  // and the summary says why nothing was deleted for them, instead of "成功删除 0".
  void rowsOfFilesAlreadyGoneLeaveAndTheSummarySaysSo() {
    OperationsHost host;
    host.AddFiles(3);
    ::unlink(host.Path("a/file0.txt").c_str());
    ::unlink(host.Path("a/file2.txt").c_str());
    host.SelectRows({0, 1, 2});
    host.Button("按钮删除")->click();
    QCOMPARE(host.List().Count(), std::size_t{0});
    QVERIFY(!Exists(host.Path("a/file1.txt")));
    const QString summary = host.ProgressText();
    QVERIFY2(summary.startsWith(QStringLiteral("删除完毕！共 3 个文件，成功删除 1 个文件，耗时(")),
             qPrintable(summary));
    QVERIFY2(summary.endsWith(QStringLiteral(")；2 个文件此前已不存在，已从列表中移去")),
             qPrintable(summary));

    host.AddFiles(1);
    ::unlink(host.Path("a/file0.txt").c_str());
    host.SelectRows({0});
    host.Button("按钮删除")->click();
    QVERIFY2(host.ProgressText().endsWith(QStringLiteral("；1 个文件此前已不存在，已从列表中移去")),
             qPrintable(host.ProgressText()));
  }

  void moveReplacesRewritesTheRowsAndRemembersTheFolder() {
    OperationsHost host;
    host.AddFiles(3);
    WriteFile(host.Path("b/file2.txt"), "replaced by the move");
    host.SelectRows({1, 2});
    host.folderToChoose = QString::fromStdString(host.Path("b"));
    host.Button("按钮移动")->click();

    QCOMPARE(host.prompts, QStringList{QStringLiteral("将选择的 2 个文件移动到的目录：")});
    QCOMPARE(host.Paths(),
             (std::vector<std::string>{host.Path("a/file0.txt"), host.Path("b/file1.txt"),
                                       host.Path("b/file2.txt")}));
    QCOMPARE(ReadFile(host.Path("b/file2.txt")), "content 2");
    QVERIFY(!Exists(host.Path("a/file1.txt")));
    QVERIFY(StartsWith(host.ProgressText(), "移动完毕！共 2 个文件，成功移动 2 个文件，耗时 "));
    QCOMPARE(host.Options().Text(Field::MoveFolder), host.Path("b/"));
    QCOMPARE(host.Options().Text(Field::CopyFolder), std::string());

    // The next move starts where the last one went.
    host.SelectRows({0});
    host.folderToChoose.clear();
    host.Button("按钮移动")->click();
    QCOMPARE(host.initialFolders,
             (QStringList{QString(), QString::fromStdString(host.Path("b/"))}));
    QVERIFY(Exists(host.Path("a/file0.txt")));
  }

  void copyLeavesTheRows() {
    OperationsHost host;
    host.AddFiles(2);
    host.SelectRows({0, 1});
    host.folderToChoose = QString::fromStdString(host.Path("c"));
    QDir().mkpath(host.folderToChoose);
    host.Button("按钮复制")->click();
    QCOMPARE(host.prompts, QStringList{QStringLiteral("将选择的 2 个文件复制到的目录：")});
    QCOMPARE(ReadFile(host.Path("c/file1.txt")), "content 1");
    QCOMPARE(host.Paths(),
             (std::vector<std::string>{host.Path("a/file0.txt"), host.Path("a/file1.txt")}));
    QVERIFY(StartsWith(host.ProgressText(), "复制完毕！共 2 个文件，成功复制 2 个文件"));
    QCOMPARE(host.Options().Text(Field::CopyFolder), host.Path("c/"));
  }

  // Two picked files of one name: a copy ends with the later one (both sources stay), a
  // move keeps the first and names the file it left in place. The progress text counts
  // up and shows a GBK name decoded.
  void filesOfOneNameCopyOverEachOtherButAMoveSkipsAndNamesThem() {
    OperationsHost host;
    host.Add("two/\xb1\xa8\xb8\xe6.txt", "gbk");  // 报告.txt in GBK
    host.Add("one/same.txt", "first");
    host.Add("two/same.txt", "second");
    host.SelectRows({0, 1, 2});
    // Events are handled before each file: each handling sees the previous file's text.
    QStringList progress;
    host.whileRunning = [&] {
      if (host.Running("按钮复制") || host.Running("按钮移动")) progress << host.ProgressText();
    };
    host.folderToChoose = QString::fromStdString(host.Path("copies"));
    QDir().mkpath(host.folderToChoose);
    host.Button("按钮复制")->click();
    QCOMPARE(ReadFile(host.Path("copies/same.txt")), "second");
    QCOMPARE(ReadFile(host.Path("one/same.txt")), "first");
    QVERIFY(StartsWith(host.ProgressText(), "复制完毕！共 3 个文件，成功复制 3 个文件，耗时 "));
    QVERIFY(!host.ProgressText().contains(QStringLiteral("同名")));
    QCOMPARE(progress, (QStringList{QString(),
                                    QStringLiteral("(3:1) 正在复制 >> ") +
                                        QString::fromStdString(host.Path("two/")) +
                                        QStringLiteral("报告.txt"),
                                    QStringLiteral("(3:2) 正在复制 >> ") +
                                        QString::fromStdString(host.Path("one/same.txt"))}));

    progress.clear();
    host.folderToChoose = QString::fromStdString(host.Path("moved"));
    QDir().mkpath(host.folderToChoose);
    host.Button("按钮移动")->click();
    QCOMPARE(progress.mid(1, 1),
             QStringList{QStringLiteral("(3:1) 正在移动 >> ") +
                         QString::fromStdString(host.Path("two/")) + QStringLiteral("报告.txt")});
    QCOMPARE(ReadFile(host.Path("moved/same.txt")), "first");
    QCOMPARE(ReadFile(host.Path("two/same.txt")), "second");
    QCOMPARE(host.Paths(),
             (std::vector<std::string>{host.Path("moved/\xb1\xa8\xb8\xe6.txt"),
                                       host.Path("moved/same.txt"), host.Path("two/same.txt")}));
    QVERIFY(StartsWith(host.ProgressText(), "移动完毕！共 3 个文件，成功移动 2 个文件，耗时 "));
    QVERIFY2(host.ProgressText().endsWith(QStringLiteral("；因同名未移动：same.txt")),
             qPrintable(host.ProgressText()));
  }

  // 24 picked files of one name copied into an empty folder leave one file there: the
  // summary once said "成功复制 24 个文件" and nothing more. It says how many replaced a copy
  // of the same run; nobody is asked about those, and a move still keeps the first.
  void copiesOfOneNameSayHowManyReplacedAnEarlierCopyOfTheRun() {
    OperationsHost host;
    for (int i = 0; i < 24; ++i)
      host.Add("d" + std::to_string(i) + "/readme.txt", std::to_string(i));
    QItemSelectionModel* selection = host.ListView()->selectionModel();
    selection->select(QItemSelection(host.ListView()->model()->index(0, 0),
                                     host.ListView()->model()->index(23, 0)),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    host.folderToChoose = QString::fromStdString(host.Path("copies"));
    QDir().mkpath(host.folderToChoose);
    host.Button("按钮复制")->click();
    QVERIFY2(StartsWith(host.ProgressText(), "复制完毕！共 24 个文件，成功复制 24 个文件，耗时 "),
             qPrintable(host.ProgressText()));
    QVERIFY2(
        host.ProgressText().endsWith(QStringLiteral("；其中 23 个替换了本次先复制到该目录的文件")),
        qPrintable(host.ProgressText()));
    QCOMPARE(ReadFile(host.Path("copies/readme.txt")), "23");
    QCOMPARE(ReadFile(host.Path("d0/readme.txt")), "0");
    QCOMPARE(host.replaceQuestions, QStringList());

    host.folderToChoose = QString::fromStdString(host.Path("moved"));
    QDir().mkpath(host.folderToChoose);
    host.Button("按钮移动")->click();
    QVERIFY2(StartsWith(host.ProgressText(), "移动完毕！共 24 个文件，成功移动 1 个文件，耗时 "),
             qPrintable(host.ProgressText()));
    QVERIFY(!host.ProgressText().contains(QStringLiteral("替换")));
    QCOMPARE(ReadFile(host.Path("moved/readme.txt")), "0");
    QCOMPARE(ReadFile(host.Path("d1/readme.txt")), "1");
  }

  // A move or copy once replaced a file in the destination that the user had not picked,
  // without a word. It asks first: replace or skip, for this file or for all, or cancel.
  void aFileInTheDestinationTheUserDidNotPickIsReplacedOnlyWhenTheUserSaysSo() {
    OperationsHost host;
    host.AddFiles(4);
    for (int i = 0; i < 4; ++i)
      WriteFile(host.Path("b/file" + std::to_string(i) + ".txt"), "theirs " + std::to_string(i));
    host.SelectRows({0, 1, 2, 3});
    host.folderToChoose = QString::fromStdString(host.Path("b"));
    host.replaceAnswers = {ReplaceAnswer::Skip, ReplaceAnswer::Replace, ReplaceAnswer::SkipAll};
    host.Button("按钮复制")->click();
    QCOMPARE(host.replaceQuestions.size(), 3);
    QCOMPARE(host.replaceQuestions.first(),
             ReplaceQuestionText(QString::fromStdString(host.Path("b/file0.txt")),
                                 QString::fromStdString(host.Path("a/file0.txt"))));
    QCOMPARE(ReadFile(host.Path("b/file0.txt")), "theirs 0");
    QCOMPARE(ReadFile(host.Path("b/file1.txt")), "content 1");
    QCOMPARE(ReadFile(host.Path("b/file2.txt")), "theirs 2");
    QCOMPARE(ReadFile(host.Path("b/file3.txt")), "theirs 3");
    QVERIFY2(StartsWith(host.ProgressText(), "复制完毕！共 4 个文件，成功复制 1 个文件，耗时 "),
             qPrintable(host.ProgressText()));
    QVERIFY2(host.ProgressText().endsWith(QStringLiteral("；3 个文件因目标目录已有同名文件而跳过")),
             qPrintable(host.ProgressText()));

    // Cancel ends the run at the file asked about.
    host.replaceQuestions.clear();
    host.replaceAnswers = {ReplaceAnswer::Cancel};
    host.Button("按钮移动")->click();
    QCOMPARE(host.replaceQuestions.size(), 1);
    QCOMPARE(ReadFile(host.Path("b/file0.txt")), "theirs 0");
    QCOMPARE(host.Paths()[1], host.Path("a/file1.txt"));
    QVERIFY(StartsWith(host.ProgressText(), "移动完毕！共 4 个文件，成功移动 0 个文件"));
    QVERIFY(!host.Running("按钮移动"));

    // Replace for all asks once.
    host.replaceQuestions.clear();
    host.replaceAnswers = {ReplaceAnswer::ReplaceAll};
    host.Button("按钮移动")->click();
    QCOMPARE(host.replaceQuestions.size(), 1);
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(ReadFile(host.Path("b/file" + std::to_string(i) + ".txt")),
               "content " + std::to_string(i));
      QVERIFY(!Exists(host.Path("a/file" + std::to_string(i) + ".txt")));
    }
    QVERIFY(StartsWith(host.ProgressText(), "移动完毕！共 4 个文件，成功移动 4 个文件"));
  }

  // Qt's dialog answers a folder whose name is not UTF-8 with replacement characters: the
  // files still go into that folder, whose bytes are remembered; two folders Qt shows
  // alike cannot be told apart, and nothing is moved.
  void aDestinationWhoseNameIsNotUtf8IsFoundFromTheDialogsAnswer() {
    OperationsHost host;
    host.AddFiles(2);
    const std::string gbk = host.Path("\xb1\xa8\xb8\xe6");  // 报告 in GBK
    QDir().mkpath(QString::fromStdString(host.Path("plain")));
    ::mkdir(gbk.c_str(), 0755);
    host.folderToChoose = QFile::decodeName(QByteArray::fromStdString(gbk));
    host.SelectRows({0});
    host.Button("按钮移动")->click();
    QCOMPARE(ReadFile(gbk + "/file0.txt"), "content 0");
    QCOMPARE(host.List().FullPath(0), gbk + "/file0.txt");
    QCOMPARE(host.Options().Text(Field::MoveFolder), gbk + "/");

    // The next chooser starts where Qt can name the folder; the twin makes the answer
    // ambiguous.
    ::mkdir(host.Path("\xb2\xa8\xb8\xe6").c_str(), 0755);
    host.SelectRows({1});
    host.Button("按钮移动")->click();
    QCOMPARE(host.initialFolders.last(), QString::fromStdString(host.Path("")).chopped(1));
    QCOMPARE(host.boxes,
             QList{Warning(QStringLiteral("无法确定所选的目录：") + host.folderToChoose)});
    QVERIFY(Exists(host.Path("a/file1.txt")));
    QCOMPARE(host.Options().Text(Field::MoveFolder), gbk + "/");
  }

  void withoutASelectionTheOperationsOnlySayWhatToSelect() {
    OperationsHost host;
    host.AddFiles(1);
    const struct {
      const char* button;
      const char* message;
    } cases[] = {
        {"按钮删除", "请先选择要删除的文件！"},       {"按钮移动", "请先选择要移动的文件！"},
        {"按钮复制", "请先选择要复制的文件！"},       {"按钮打开", "请先选择要打开的文件！"},
        {"按钮定位", "请先选择要定位到目录的文件！"},
    };
    for (const auto& c : cases) {
      host.boxes.clear();
      host.Button(c.button)->click();
      QCOMPARE(host.boxes, QList{Information(QString::fromUtf8(c.message))});
    }
    QCOMPARE(host.prompts.size(), 0);
    QVERIFY(Exists(host.Path("a/file0.txt")));
    host.messages.clear();
    host.Button("按钮查看")->click();
    host.Button("按钮复制路径")->click();
    QCOMPARE(host.messages, QStringList());
  }
};

QTEST_MAIN(LongOperationsTest)
#include "long_operations_test.moc"
