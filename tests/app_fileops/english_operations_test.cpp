// Delete and move in the English window: the questions and summaries, and the captions
// of a long operation's button, which is its own stop button in either language.

#include <QDir>
#include <QTest>
#include <memory>

#include "app/language/ui_language.h"
#include "operations_host.h"

using namespace tarnwick;
using namespace tarnwick::testing;

class EnglishOperationsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTranslator> english_;

 private slots:
  void initTestCase() {
    english_ = NewEnglishTranslator();
    QVERIFY(english_ && QCoreApplication::installTranslator(english_.get()));
  }

  void aPressOfTheRunningDeleteStopsItInEnglish() {
    OperationsHost host;
    host.AddFiles(20);
    host.ListView()->selectAll();
    int pumps = 0;
    QString whileRunning, afterPress;
    host.whileRunning = [&] {
      if (!host.Running("按钮删除") || ++pumps != 5) return;
      whileRunning = host.Button("按钮删除")->text();
      host.Button("按钮删除")->click();
      afterPress = host.Button("按钮删除")->text();
    };
    host.Button("按钮删除")->click();

    QCOMPARE(host.messages.first(),
             QStringLiteral("Delete the 20 selected files for good?\n\nTo move them to the trash "
                            "instead, hold Ctrl and click Delete again."));
    QCOMPARE(whileRunning, QStringLiteral("Stop"));
    QCOMPARE(afterPress, QStringLiteral("Stopping"));
    QCOMPARE(host.List().Count(), std::size_t{15});
    QVERIFY2(host.ProgressText().startsWith(QStringLiteral("Done: 5 of 20 files deleted (")),
             qPrintable(host.ProgressText()));
    QCOMPARE(host.Button("按钮删除")->text(), QStringLiteral("Delete"));
    QVERIFY(host.Stop().IsSet());

    // The button starts the next run from its idle state.
    host.whileRunning = nullptr;
    host.SelectRows({0});
    host.ctrlHeld = true;
    host.trash = [](const std::string&) { return true; };
    host.Button("按钮删除")->click();
    QCOMPARE(host.messages.last(), QStringLiteral("Move the selected file to the trash?"));
    QCOMPARE(host.List().Count(), std::size_t{14});
  }

  void aMoveAsksAndSumsUpInEnglish() {
    OperationsHost host;
    host.Add("one/same.txt", "first");
    host.Add("two/same.txt", "second");
    host.Add("two/other.txt", "third");
    host.SelectRows({0, 1, 2});
    host.folderToChoose = QString::fromStdString(host.Path("moved"));
    QDir().mkpath(host.folderToChoose);
    QString progress;
    host.whileRunning = [&] {
      if (host.Running("按钮移动") && progress.isEmpty()) progress = host.ProgressText();
    };
    host.Button("按钮移动")->click();
    QCOMPARE(host.prompts, QStringList{QStringLiteral("Folder to move the 3 selected files to:")});
    QVERIFY2(host.ProgressText().startsWith(QStringLiteral("Done: 2 of 3 files moved in ")),
             qPrintable(host.ProgressText()));
    QVERIFY2(
        host.ProgressText().endsWith(QStringLiteral("; not moved, the name was taken: same.txt")),
        qPrintable(host.ProgressText()));
    QCOMPARE(host.Button("按钮移动")->text(), QStringLiteral("Move"));
  }
};

QTEST_MAIN(EnglishOperationsTest)
#include "english_operations_test.moc"
