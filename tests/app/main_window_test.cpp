// The main window as the user sees it: controls, enable rules, unit captions, the list
// actions, settings across a restart, the layout on resize and a move from the window.

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSessionManager>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <csignal>

#include "app/controls/control_roster.h"
#include "app/window/termination_signal.h"
#include "app/window/window_options.h"
#include "app/window/window_settings.h"
#include "platform/desktop/message_box.h"
#include "window_fixture.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

const char* const kGroupSwitches[] = {"选择框按内容筛选", "选择框按长度筛选", "选择框按时间筛选",
                                      "选择框按重复筛选"};

// The controls each title box governs.
const char* const kGroupControls[] = {
    "单选框包含内容",     "单选框不含内容",   "编辑框筛选内容",     "选择框文件内容",
    "选择框文件名",       "组合框匹配模式",   "按钮粘贴",           "选择框清除网页标签",
    "选择框清除空行空格", "单选框文件大小",   "单选框内容字数",     "编辑框长度起始",
    "编辑框长度终止",     "单选框B",          "单选框KB",           "单选框MB",
    "单选框GB",           "单选框TB",         "单选框创建",         "单选框修改",
    "单选框访问",         "单选框年月日",     "单选框时分秒",       "单选框两者",
    "编辑框时间起始",     "编辑框时间终止",   "单选框MD5",          "单选框长度",
    "单选框名称",         "单选框文本",       "单选框相似",         "编辑框相似度",
    "单选框一重复文件",   "单选框全部重复文件", "单选框全部减一重复文件"};

QStringList Captions(QWidget* window, std::initializer_list<const char*> names) {
  QStringList captions;
  for (const char* name : names) captions << Control<QAbstractButton>(window, name)->text();
  return captions;
}

void Drop(QWidget* window, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(500, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &enter);
  QDropEvent drop(QPointF(500, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &drop);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString SettingsPath() const { return dir_.filePath(QStringLiteral("Tarnwick.ini")); }

 private slots:
  void init() { QFile::remove(SettingsPath()); }

  void firstStartDisablesEveryGroupControlButTheTitleBoxes() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    for (const char* name : kGroupSwitches) {
      QVERIFY2(Control<QWidget>(window.get(), name)->isEnabled(), name);
      QVERIFY(!Control<QAbstractButton>(window.get(), name)->isChecked());
    }
    for (const char* name : kGroupControls)
      QVERIFY2(!Control<QWidget>(window.get(), name)->isEnabled(), name);
    QVERIFY(Control<QWidget>(window.get(), "标签1")->isEnabled());
    QVERIFY(window->Stop().IsSet());
    QVERIFY(Control<QTimer>(window.get(), control::kTimer)->isActive());
  }

  // 猜测编码 governs how every text is read (the content search, the character count, the
  // viewer): it stays usable whichever groups are ticked, and its state is kept in the
  // settings file under its caption, after the earlier keys.
  void theGuessBoxIsAlwaysUsableAndKeptInTheSettings() {
    ScriptedUser user;
    {
      auto window = OpenWindow(SettingsPath(), user);
      auto* guess = Control<QAbstractButton>(window.get(), "选择框猜测编码");
      QVERIFY(guess->isEnabled());
      QVERIFY(!guess->isChecked());
      for (const char* name : kGroupSwitches) {
        Control<QAbstractButton>(window.get(), name)->click();
        QVERIFY2(guess->isEnabled(), name);
        Control<QAbstractButton>(window.get(), name)->click();
        QVERIFY2(guess->isEnabled(), name);
      }
      guess->click();
      QVERIFY(window->Options().IsChecked(Check::GuessEncodings));
      window->close();
    }
    QVERIFY(ReadFile(SettingsPath()).startsWith("[主界面]\r\n相似度=90\r\n相似=假\r\n文本=假\r\n猜测编码=真\r\n复制目录="));
    auto reopened = OpenWindow(SettingsPath(), user);
    QVERIFY(Control<QAbstractButton>(reopened.get(), "选择框猜测编码")->isChecked());
  }

  void titleBoxesEnableTheirGroupsAndMeasureSetsUnitCaptions() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    Control<QAbstractButton>(w, "选择框按长度筛选")->click();
    QVERIFY(Control<QWidget>(w, "编辑框长度起始")->isEnabled());
    QVERIFY(Control<QWidget>(w, "单选框TB")->isEnabled());
    QVERIFY(!Control<QWidget>(w, "编辑框筛选内容")->isEnabled());

    Control<QAbstractButton>(w, "单选框内容字数")->click();
    QCOMPARE(Captions(w, {"单选框B", "单选框KB", "单选框MB", "单选框GB", "单选框TB"}),
             Texts({"个", "十", "百", "千", "万"}));
    QVERIFY(Control<QWidget>(w, "选择框清除网页标签")->isEnabled());
    QVERIFY(Control<QWidget>(w, "选择框清除空行空格")->isEnabled());

    Control<QAbstractButton>(w, "单选框文件大小")->click();
    QCOMPARE(Captions(w, {"单选框B", "单选框KB", "单选框MB", "单选框GB", "单选框TB"}),
             Texts({"B", "KB", "MB", "GB", "TB"}));
    QVERIFY(!Control<QWidget>(w, "选择框清除网页标签")->isEnabled());

    Control<QAbstractButton>(w, "选择框按长度筛选")->click();
    QVERIFY(!Control<QWidget>(w, "单选框内容字数")->isEnabled());
    Control<QAbstractButton>(w, "选择框按重复筛选")->click();
    QVERIFY(Control<QWidget>(w, "单选框MD5")->isEnabled());
    QVERIFY(Control<QWidget>(w, "单选框全部减一重复文件")->isEnabled());
  }

  // The mask box has no caption and the start button a second use: both explain
  // themselves when the pointer rests on them.
  void theMaskAndTheStartButtonExplainThemselves() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    const QString mask = Control<QWidget>(window.get(), "编辑框过滤")->toolTip();
    for (const char* part : {"*.*", "全部文件", "|", "*.txt|*.htm"})
      QVERIFY2(mask.contains(QString::fromUtf8(part)), part);
    const QString start = Control<QWidget>(window.get(), control::kStartButton)->toolTip();
    for (const char* part : {"单击", "停止", "右键", "不会列出两次"})
      QVERIFY2(start.contains(QString::fromUtf8(part)), part);
  }

  // 文本 and 相似 sit with the other key buttons, one choice among the five, with the
  // resemblance 相似 asks for beside them; the output buttons stay below.
  void textKeysAreOneChoiceWithTheOtherKeys() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    Control<QAbstractButton>(w, "选择框按重复筛选")->click();
    const char* const keys[] = {"单选框MD5", "单选框长度", "单选框名称", "单选框文本", "单选框相似"};
    for (const char* chosen : keys) {
      Control<QAbstractButton>(w, chosen)->click();
      for (const char* key : keys)
        QCOMPARE(Control<QAbstractButton>(w, key)->isChecked(), qstrcmp(key, chosen) == 0);
    }
    QVERIFY(window->Options().IsChecked(Check::DupBySimilarity));
    QCOMPARE(Captions(w, {"单选框文本", "单选框相似"}), Texts({"文本", "相似"}));
    auto* percent = Control<QLineEdit>(w, "编辑框相似度");
    QCOMPARE(percent->text(), QStringLiteral("90"));
    percent->setText(QStringLiteral("85"));
    QCOMPARE(window->Options().Text(Field::Similarity), std::string("85"));

    // Laid out with the others: inside the duplicate group, none over another.
    auto* group = Control<QWidget>(w, "分组框重复");
    QList<QWidget*> controls;
    for (const char* name : {"单选框MD5", "单选框长度", "单选框名称", "单选框文本", "单选框相似",
                             "编辑框相似度", "标签16", "单选框一重复文件", "单选框全部重复文件",
                             "单选框全部减一重复文件"})
      controls << Control<QWidget>(w, name);
    for (QWidget* control : controls) {
      const QRect place(control->mapTo(group, QPoint(0, 0)), control->size());
      QVERIFY2(group->rect().contains(place), qPrintable(control->objectName()));
      for (QWidget* other : controls) {
        if (other == control) continue;
        const QRect otherPlace(other->mapTo(group, QPoint(0, 0)), other->size());
        QVERIFY2(!place.intersects(otherPlace),
                 qPrintable(control->objectName() + QStringLiteral(" / ") + other->objectName()));
      }
    }
  }

  // The row's resemblance to its group's first file shows at the right of the status line
  // while a row of a 相似 job is the current one.
  void currentRowOfASimilarJobShowsItsResemblance() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    QString text;
    for (int line = 0; line < 60; ++line)
      text += QStringLiteral("line %1 of the quarterly report %2\n").arg(line).arg(line * 7);
    WriteFile(dir_.filePath(QStringLiteral("similar/a.txt")), text.toUtf8());
    WriteFile(dir_.filePath(QStringLiteral("similar/b.txt")),
              text.replace(QStringLiteral("line 30 "), QStringLiteral("row 30 ")).toUtf8());
    WriteFile(dir_.filePath(QStringLiteral("similar/c.txt")), "another text");
    Control<QAbstractButton>(w, "选择框按重复筛选")->click();
    Control<QAbstractButton>(w, "单选框相似")->click();
    Control<QAbstractButton>(w, "单选框全部重复文件")->click();
    user.folderToChoose = dir_.filePath(QStringLiteral("similar"));
    Control<QPushButton>(w, control::kStartButton)->click();
    QCOMPARE(window->List().Count(), std::size_t{2});

    auto* list = Control<QTableView>(w, control::kResultList);
    auto* label = Control<QLabel>(w, "标签行相似度");
    list->setCurrentIndex(list->model()->index(1, 0));
    QVERIFY(label->isVisibleTo(w));
    const QRegularExpression shown(QStringLiteral("^与本组第一个文件相似 (9\\d\\.\\d) %$"));
    QVERIFY2(shown.match(label->text()).hasMatch(), qPrintable(label->text()));
    list->setCurrentIndex(list->model()->index(0, 0));
    QCOMPARE(label->text(), QStringLiteral("与本组第一个文件相似 100.0 %"));

    // Rows of other jobs have no resemblance: the label goes.
    Control<QAbstractButton>(w, "单选框文本")->click();
    Control<QAbstractButton>(w, "选择框按重复筛选")->click();
    Control<QPushButton>(w, control::kStartButton)->click();
    QCOMPARE(window->List().Count(), std::size_t{3});
    list->setCurrentIndex(list->model()->index(1, 0));
    QVERIFY(!label->isVisibleTo(w));
  }

  void pasteReplacesThePatternWithTheClipboardText() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    Control<QAbstractButton>(window.get(), "选择框按内容筛选")->click();
    QGuiApplication::clipboard()->setText(QStringLiteral("甲|乙"));
    Control<QPushButton>(window.get(), "按钮粘贴")->click();
    QCOMPARE(window->Options().Text(Field::ContentPattern), std::string("甲|乙"));
  }

  void dropListsFilesSkipsFoldersAndAppendsOnlyWithCtrl() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    const QString a = dir_.filePath(QStringLiteral("drop/a.txt"));
    const QString b = dir_.filePath(QStringLiteral("drop/b.txt"));
    WriteFile(a, "a");
    WriteFile(b, "12345");
    const QString folder = dir_.filePath(QStringLiteral("drop"));
    auto* list = Control<QTableView>(window.get(), control::kResultList);

    Drop(window.get(), {a, folder, b});
    QTRY_COMPARE(list->model()->rowCount(), 2);
    QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("a.txt"));
    QCOMPARE(window->List().FullPath(1), QFile::encodeName(b).toStdString());

    user.ctrlHeld = true;
    Drop(window.get(), {b});
    QTRY_COMPARE(list->model()->rowCount(), 3);
    QCOMPARE(window->List().FullPath(2), QFile::encodeName(b).toStdString());

    user.ctrlHeld = false;
    Drop(window.get(), {a});
    QTRY_COMPARE(window->List().Count(), std::size_t{1});
    QTRY_COMPARE(list->model()->rowCount(), 1);
  }

  // A file manager drops a name that is not UTF-8 as text/uri-list with its raw bytes
  // percent-encoded: the row keeps the bytes and shows the name decoded.
  void aDroppedUriOfANameThatIsNotUtf8KeepsItsBytes() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    const std::string folder =
        QFile::encodeName(dir_.filePath(QStringLiteral("raw"))).toStdString();
    WriteRawFile(folder + "/\xb1\xa8\xb8\xe6.txt", "gbk");  // 报告.txt in GBK
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"),
                 "file://" + QByteArray::fromStdString(folder).toPercentEncoding("/") +
                     "/%B1%A8%B8%E6.txt\r\n");
    QDragEnterEvent enter(QPoint(500, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    QDropEvent drop(QPointF(500, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &drop);
    QTRY_COMPARE(window->List().Count(), std::size_t{1});
    QCOMPARE(window->List().FullPath(0), folder + "/\xb1\xa8\xb8\xe6.txt");
    QTRY_COMPARE(window->ListView()->model()->rowCount(), 1);
    QCOMPARE(window->ListView()->model()->index(0, 0).data().toString(),
             QStringLiteral("报告.txt"));
    QCOMPARE(window->ListView()->model()->index(0, 1).data().toString(), QStringLiteral("3 B"));
  }

  void exportWritesEveryPathSeparatedByCrLf() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    auto* exportButton = Control<QPushButton>(window.get(), "按钮导出");
    const QString out = dir_.filePath(QStringLiteral("paths.txt"));
    user.exportFile = out;

    exportButton->click();
    QCOMPARE(ReadFile(out), QByteArray());
    QCOMPARE(exportButton->text(), QStringLiteral("导出"));

    for (const char* name : {"/甲/一.txt", "/b/two", "/c/\xff.bin"}) {
      std::string path = name;
      window->List().Append(
          {path.substr(path.rfind('/') + 1), "0 B", "", "0", path.substr(0, path.rfind('/') + 1)});
    }
    // The first handling of events while the paths are gathered shows 导出中.
    QTest::qWait(60);
    QString captionWhileExporting;
    QString captionDuringWait;
    QTimer::singleShot(0, [&] { captionWhileExporting = exportButton->text(); });
    QTimer::singleShot(200, [&] { captionDuringWait = exportButton->text(); });
    exportButton->click();
    QCOMPARE(captionWhileExporting, QStringLiteral("导出中"));
    QCOMPARE(captionDuringWait, QStringLiteral("完成"));
    QCOMPARE(exportButton->text(), QStringLiteral("导出"));
    QCOMPARE(ReadFile(out), QByteArray("/甲/一.txt\r\n/b/two\r\n/c/\xff.bin"));
    QVERIFY(user.messages.isEmpty());

    // A file that cannot be written is reported, not announced as done.
    user.exportFile = dir_.filePath(QStringLiteral("paths.txt/inside.txt"));
    exportButton->click();
    QCOMPARE(user.boxes.size(), 1);
    QVERIFY(user.boxes[0].text.startsWith(QStringLiteral("导出失败：")));
    QCOMPARE(user.boxes[0], Warning(user.boxes[0].text));
    QCOMPARE(exportButton->text(), QStringLiteral("导出"));

    user.exportFile.clear();  // cancel
    exportButton->click();
    QCOMPARE(user.messages.size(), 1);
  }

  void selectAllSelectsEveryRowAndFocusesTheList() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    for (int i = 0; i < 1000; ++i) window->List().Append({"f", "0 B", "", "0", "/d/"});
    Control<QPushButton>(window.get(), "按钮全选")->click();
    auto* list = Control<QTableView>(window.get(), control::kResultList);
    QCOMPARE(list->selectionModel()->selectedRows().size(), 1000);
    QCOMPARE(window->focusWidget(), list);
  }

  // Ctrl+A in the list does what 全选 does, rows a job has just added included; in an edit
  // box it selects the box's text. F1 opens the help.
  void ctrlASelectsEveryRowAndF1OpensTheHelp() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto* list = Control<QTableView>(window.get(), control::kResultList);
    for (int i = 0; i < 3; ++i) window->List().Append({"f", "0 B", "", "0", "/d/"});
    QCoreApplication::processEvents();
    window->List().Append({"new", "0 B", "", "0", "/d/"});  // not yet announced

    QWidget* mask = Control<QWidget>(window.get(), "编辑框过滤");
    mask->setFocus();
    QTest::keyClick(mask, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(list->selectionModel()->selectedRows().size(), 0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(list->selectionModel()->selectedRows().size(), 4);

    QString helpTitle;
    QTimer::singleShot(100, [&] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        helpTitle = dialog->windowTitle();
        dialog->close();
      }
    });
    QTest::keyClick(list, Qt::Key_F1);
    QCOMPARE(helpTitle, QStringLiteral("疑点说明"));
  }

  void optionsSurviveCloseAndNewWindow() {
    ScriptedUser user;
    FilterOptions saved;
    {
      auto window = OpenWindow(SettingsPath(), user);
      QWidget* w = window.get();
      Control<QAbstractButton>(w, "选择框按内容筛选")->click();
      Control<QAbstractButton>(w, "单选框不含内容")->click();
      Control<QPlainTextEdit>(w, "编辑框筛选内容")->setPlainText(QStringLiteral("第一行\n第二行"));
      Control<QComboBox>(w, "组合框匹配模式")->setCurrentIndex(2);
      Control<QAbstractButton>(w, "选择框按长度筛选")->click();
      Control<QAbstractButton>(w, "单选框MB")->click();
      Control<QAbstractButton>(w, "选择框按重复筛选")->click();
      Control<QAbstractButton>(w, "单选框MD5")->click();
      Control<QAbstractButton>(w, "单选框遍历层次")->click();
      window->Options().SetText(Field::Levels, "5");
      window->Options().SetText(Field::TimeFrom, "2020-01-02 03:04:05");
      window->Options().SetText(Field::MoveFolder, "/srv/移动");
      saved = Snapshot(window->Options());
      window->close();
    }
    auto reopened = OpenWindow(SettingsPath(), user);
    QCOMPARE(Snapshot(reopened->Options()) == saved, true);
    QVERIFY(Control<QWidget>(reopened.get(), "单选框MD5")->isEnabled());
    QVERIFY(Control<QWidget>(reopened.get(), "编辑框筛选内容")->isEnabled());
    QVERIFY(!Control<QWidget>(reopened.get(), "单选框创建")->isEnabled());
    QVERIFY(user.messages.isEmpty());
  }

  void terminationSignalClosesTheWindowAndSavesTheOptions() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    TerminationSignal termination;
    connect(&termination, &TerminationSignal::received, window.get(),
            &MainWindow::CloseForTermination);
    Control<QAbstractButton>(window.get(), "选择框按时间筛选")->click();
    ::raise(SIGTERM);
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(ReadFile(SettingsPath()).contains("按时间筛选=真"));
  }

  // Logout through the session manager: its commit-data request saves the options; the
  // window stays, since the logout may still be cancelled.
  void theSessionManagersCommitDataRequestSavesTheOptions() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    auto* manager = qApp->findChild<QSessionManager*>();
    QVERIFY(manager);
    Control<QAbstractButton>(window.get(), "选择框按重复筛选")->click();
    QVERIFY(!ReadFile(SettingsPath()).contains("按重复筛选=真"));
    emit qApp->commitDataRequest(*manager);
    QVERIFY(ReadFile(SettingsPath()).contains("按重复筛选=真"));
    QVERIFY(window->isVisible());
    QVERIFY(user.messages.isEmpty());
  }

  // SIGTERM while a real message box waits for an answer: the box closes (a question
  // with its Cancel, so nothing is deleted), the options are saved and the window closes.
  void terminationClosesAnOpenMessageBox() {
    const QString file = dir_.filePath(QStringLiteral("keep/one.txt"));
    WriteFile(file, "1");
    for (const char* button : {"文字保存配置", "按钮删除"}) {
      ScriptedUser user;
      WindowPlatform platform = user.Platform();
      platform.showMessage = &ShowMessageBox;
      auto window =
          std::make_unique<MainWindow>(QFile::encodeName(SettingsPath()).toStdString(), platform);
      window->show();
      window->List().Append(
          {"one.txt", "1 B", "", "0",
           QFile::encodeName(dir_.filePath(QStringLiteral("keep/"))).toStdString()});
      QCoreApplication::processEvents();
      window->ListView()->selectAll();
      Control<QAbstractButton>(window.get(), "选择框按时间筛选")->click();
      TerminationSignal termination;
      connect(&termination, &TerminationSignal::received, window.get(),
              &MainWindow::CloseForTermination);
      QString shown;
      QTimer::singleShot(100, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
          shown = box->text();
        ::raise(SIGTERM);
      });
      if (qstrcmp(button, "按钮删除") == 0) {
        Control<QPushButton>(window.get(), button)->click();
      } else {
        QTest::mousePress(Control<QWidget>(window.get(), button), Qt::LeftButton);
      }
      QVERIFY2(!shown.isEmpty(), button);
      QVERIFY(!window->isVisible());
      QVERIFY(ReadFile(SettingsPath()).contains("按时间筛选=真"));
      QCOMPARE(ReadFile(file), QByteArray("1"));
      QFile::remove(SettingsPath());
    }
  }

  void saveLinkConfirmsOrReportsTheFailure() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QTest::mousePress(Control<QWidget>(window.get(), "文字保存配置"), Qt::LeftButton);
    QCOMPARE(user.boxes, QList{Information(QStringLiteral("保存完毕！"))});
    QVERIFY(ReadFile(SettingsPath()).startsWith("[主界面]\r\n"));
    QTest::mouseClick(Control<QWidget>(window.get(), "图片保存配置"), Qt::LeftButton);
    QCOMPARE(user.boxes, QList<RecordedMessage>(2, Information(QStringLiteral("保存完毕！"))));

    // A settings file under a plain file can never be written.
    WriteFile(dir_.filePath(QStringLiteral("plain")), "x");
    ScriptedUser other;
    const QString broken = dir_.filePath(QStringLiteral("plain/Tarnwick.ini"));
    auto brokenWindow = OpenWindow(broken, other);
    other.boxes.clear();
    QTest::mousePress(Control<QWidget>(brokenWindow.get(), "文字保存配置"), Qt::LeftButton);
    QCOMPARE(other.boxes.size(), 1);
    QVERIFY2(other.boxes[0].text.startsWith(QStringLiteral("保存配置失败：") + broken),
             qPrintable(other.boxes[0].text));
    QCOMPARE(other.boxes[0], Warning(other.boxes[0].text));
  }

  // The settings store's own failure: a warning, then the file's whole text in a box of
  // its own with no icon and the title "信息：".
  void theSettingsStoresFailureMessagesShowAsTheirOwnBoxes() {
    ScriptedUser user;
    const WindowPlatform platform = user.Platform();
    WindowSettings settings(QFile::encodeName(SettingsPath()).toStdString(), platform);
    MessageSink& sink = settings;
    sink.Show("配置模块出现意外，可能导致无法正常保存！详情请咨询Brellin。", "Brellin：", true);
    sink.Show("[主界面]\r\nk=v", "信息：", false);
    QCOMPARE(user.boxes, (QList{Warning(QStringLiteral(
                                    "配置模块出现意外，可能导致无法正常保存！详情请咨询Brellin。")),
                                RecordedMessage{QStringLiteral("[主界面]\r\nk=v"), QMessageBox::Ok,
                                                QStringLiteral("信息："), QMessageBox::NoIcon}}));
  }

  // What the window shows before any option is restored or any file listed.
  void theWindowStartsWithItsTitleGeometryAndColumns() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QCOMPARE(window->windowTitle(), QStringLiteral("Tarnwick v1.0"));
    QCOMPARE(window->geometry(), QRect(50, 50, 1065, 759));
    auto* list = Control<QTableView>(window.get(), control::kResultList);
    QStringList headers;
    QList<int> widths;
    for (int column = 0; column < list->model()->columnCount(); ++column) {
      headers << list->model()->headerData(column, Qt::Horizontal).toString();
      widths << list->columnWidth(column);
    }
    QCOMPARE(headers, Texts({"文件名", "文件大小", "文件时间", "内容字数", "所在目录"}));
    QCOMPARE(widths, (QList<int>{300, 100, 180, 100, 700}));
    QVERIFY(user.boxes.isEmpty());
  }

  // A long operation is refused while another runs, with the program's usual box.
  void theBusyCheckSaysWhyNothingStarts() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    window->List().Append({"f", "0 B", "", "0", "/d/"});
    QCoreApplication::processEvents();
    window->ListView()->selectAll();
    window->Stop().Clear();  // a filter job is running
    for (const char* button : {"按钮删除", "按钮移动", "按钮复制"})
      Control<QPushButton>(window.get(), button)->click();
    window->Stop().Set();
    QCOMPARE(user.boxes,
             QList<RecordedMessage>(
                 3, Information(QStringLiteral("在开始新操作之前请先停止正在执行的操作！"))));
    QCOMPARE(user.folderRequests, 0);
  }

  void widerWindowWidensListProgressBarAndBanner() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    auto* list = Control<QWidget>(w, control::kResultList);
    auto* progress = Control<QProgressBar>(w, control::kProgressBar);
    auto* status = Control<QStatusBar>(w, control::kStatusBar);
    const QSize listBefore = list->size();
    const int progressBefore = progress->width();
    const QPoint contentGroup = Control<QWidget>(w, "分组框内容")->pos();

    w->resize(w->width() + 100, w->height() + 50);
    QCOMPARE(list->size(), listBefore + QSize(100, 50));
    QCOMPARE(progress->width(), progressBefore + 100);
    QCOMPARE(Control<QWidget>(w, control::kBanner)->width(), w->width());
    QCOMPARE(status->geometry().bottom(), w->height() - 1);
    QVERIFY(Control<QWidget>(w, control::kWalkPanel)->geometry().top() > list->geometry().bottom());
    QCOMPARE(Control<QWidget>(w, "分组框内容")->pos(), contentGroup);
  }

  // Shrunk as far as it goes, the window keeps every control whole, inside it and clear
  // of the status bar; the list still shows a few rows.
  void theSmallestWindowKeepsEveryControlWhole() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    w->resize(700, 500);
    QCOMPARE(w->size(), w->minimumSize());
    QVERIFY(w->minimumWidth() <= 1065 && w->minimumHeight() <= 759);
    const QRect statusBar = Control<QWidget>(w, control::kStatusBar)->geometry();
    QCOMPARE(statusBar.bottom(), w->height() - 1);
    for (const ControlSpec& entry : ControlRoster()) {
      // The banner's underline is one pixel wider than the window on purpose.
      if (qstrcmp(entry.name, control::kBannerLine) == 0) continue;
      const QWidget* control = Control<QWidget>(w, entry.name);
      const QRect inWindow(control->mapTo(w, QPoint(0, 0)), control->size());
      QVERIFY2(w->rect().contains(inWindow), entry.name);
      QVERIFY2(!inWindow.intersects(statusBar), entry.name);
    }
    QVERIFY(Control<QWidget>(w, control::kResultList)->height() >= 100);
  }

  // The time fields are red while they can be edited; in a disabled group they look as
  // disabled as the controls around them, with no red left.
  void disabledTimeFieldsShowNoRedText() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* field = Control<QWidget>(window.get(), "编辑框时间起始");
    auto redPixels = [field] {
      const QImage image = field->grab().toImage();
      int red = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const QColor color = image.pixelColor(x, y);
          red += color.red() > 160 && color.green() < 90 && color.blue() < 90;
        }
      }
      return red;
    };
    QVERIFY(!field->isEnabled());
    QCOMPARE(redPixels(), 0);
    Control<QAbstractButton>(window.get(), "选择框按时间筛选")->click();
    QVERIFY(redPixels() > 20);
  }

  // The file operations reach the real window's buttons, and the remembered move folder
  // comes back with the next window.
  void moveFromTheWindowRemembersTheFolderAcrossARestart() {
    const QString one = dir_.filePath(QStringLiteral("a/one.txt"));
    WriteFile(one, "1");
    const QString dest = dir_.filePath(QStringLiteral("dest"));
    QDir().mkpath(dest);
    ScriptedUser user;
    {
      auto window = OpenWindow(SettingsPath(), user);
      window->List().Append({"one.txt", "1 B", "", "0",
                             QFile::encodeName(dir_.filePath(QStringLiteral("a/"))).toStdString()});
      QCoreApplication::processEvents();
      window->ListView()->selectAll();
      user.folderToChoose = dest;
      Control<QPushButton>(window.get(), "按钮移动")->click();
      QCOMPARE(window->List().FullPath(0),
               QFile::encodeName(dest + QStringLiteral("/one.txt")).toStdString());
      QCOMPARE(ReadFile(dest + QStringLiteral("/one.txt")), QByteArray("1"));
      window->close();
    }
    auto window = OpenWindow(SettingsPath(), user);
    QCOMPARE(window->Options().Text(Field::MoveFolder),
             QFile::encodeName(dest + QLatin1Char('/')).toStdString());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
