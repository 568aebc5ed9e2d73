// A filter job started from the window: the chooser, the rows and the summary, the
// stop by a second press, BusyCheck, the right-button lister and the controls locked
// while the job runs.

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/controls/control_roster.h"
#include "window_fixture.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

QString Idle() { return QString::fromUtf8(kStartCaptionIdle); }

QStringList ListedNames(QTableView* list) {
  QStringList names;
  for (int row = 0; row < list->model()->rowCount(); ++row)
    names << list->model()->index(row, 0).data().toString();
  return names;
}

}  // namespace

class FilterJobWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString tree_;
  QString SettingsPath() const { return dir_.filePath(QStringLiteral("Tarnwick.ini")); }

 private slots:
  void initTestCase() {
    tree_ = dir_.filePath(QStringLiteral("tree"));
    WriteFile(tree_ + QStringLiteral("/a.txt"), "alpha");
    WriteFile(tree_ + QStringLiteral("/b.htm"), "<p>beta</p>");
    WriteFile(tree_ + QStringLiteral("/c.txt"), "gamma gamma");
    WriteFile(tree_ + QStringLiteral("/sub/d.txt"), "delta");
    for (int i = 0; i < 400; ++i)
      WriteFile(QStringLiteral("%1/many/f%2.txt").arg(tree_).arg(i, 4, 10, QLatin1Char('0')), "x");
  }

  void init() { QFile::remove(SettingsPath()); }

  // A pattern the engine rejects stops the press before the folder is asked for: no job,
  // no change to the list, a warning that names the fault (in Chinese for the faults
  // met most, in the engine's words for the others).
  void patternThatDoesNotCompileIsRefusedBeforeTheJob() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    auto* list = Control<QTableView>(window.get(), control::kResultList);
    Control<QAbstractButton>(window.get(), "选择框按内容筛选")->click();
    window->Options().SetMatchModeIndex(2);
    window->Options().SetText(Field::ContentPattern, "a(");
    user.folderToChoose = tree_;
    Control<QPushButton>(window.get(), control::kStartButton)->click();
    QCOMPARE(user.folderRequests, 0);
    QCOMPARE(user.messages,
             QStringList{QStringLiteral("筛选内容无法编译：缺少右括号（第 3 个字符处）")});
    QCOMPARE(list->model()->rowCount(), 0);
    QVERIFY(window->Stop().IsSet());
  }

  // Before any folder was chosen the chooser opens at home; afterwards at the folder
  // chosen last.
  void theFirstChooserOpensAtHome() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    auto* start = Control<QPushButton>(window.get(), control::kStartButton);
    start->click();  // cancelled
    QCOMPARE(user.initialFolders, QStringList{QDir::homePath()});
    user.folderToChoose = tree_;
    start->click();
    user.folderToChoose.clear();
    start->click();
    QCOMPARE(user.initialFolders.last(), tree_);
  }

  void jobListsTheChosenFolderAndWritesTheSummary() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    auto* start = Control<QPushButton>(window.get(), control::kStartButton);
    auto* list = Control<QTableView>(window.get(), control::kResultList);
    auto* status = Control<QStatusBar>(window.get(), control::kStatusBar);

    user.folderToChoose = tree_;
    start->click();
    QCOMPARE(ListedNames(list), Texts({"a.txt", "b.htm", "c.txt"}));
    QVERIFY2(
        status->currentMessage().startsWith(QStringLiteral("筛选完毕！共筛选出 3 个文件，耗时 ")),
        qPrintable(status->currentMessage()));
    QVERIFY(status->currentMessage().endsWith(QStringLiteral("。请单击按钮操作列表！")));
    QCOMPARE(start->text(), Idle());
    QVERIFY(window->Stop().IsSet());
    QCOMPARE(window->Options().Text(Field::FilterFolder), QFile::encodeName(tree_).toStdString());

    // With a content pattern only the matching files stay; the whole tree is walked.
    Control<QAbstractButton>(window.get(), "选择框按内容筛选")->click();
    Control<QAbstractButton>(window.get(), "选择框文件名")->click();
    Control<QAbstractButton>(window.get(), "选择框文件内容")->click();
    Control<QAbstractButton>(window.get(), "单选框遍历子目录")->click();
    window->Options().SetText(Field::ContentPattern, "GAMMA|delta");
    start->click();
    QCOMPARE(ListedNames(list), Texts({"c.txt", "d.txt"}));

    // Cancelling the chooser leaves the list and the status line as they were.
    const QString summary = status->currentMessage();
    user.folderToChoose.clear();
    start->click();
    QCOMPARE(ListedNames(list), Texts({"c.txt", "d.txt"}));
    QCOMPARE(status->currentMessage(), summary);
  }

  // Qt's dialog answers a folder whose name is not UTF-8 with replacement characters: the
  // job still walks the folder itself, remembers its bytes, and names it decoded in the
  // running status line. The next dialog starts at the nearest folder Qt can name.
  void aFolderWhoseNameIsNotUtf8IsWalkedAsItselfAndRemembered() {
    const std::string gbkFolder =
        QFile::encodeName(dir_.path()).toStdString() + "/\xb1\xa8\xb8\xe6";
    WriteRawFile(gbkFolder + "/\xd6\xd0.txt", "x");  // 中.txt in GBK
    ScriptedUser user;
    {
      auto window = OpenWindow(SettingsPath(), user);
      auto* status = Control<QStatusBar>(window.get(), control::kStatusBar);
      QStringList statusLines;
      connect(status, &QStatusBar::messageChanged,
              [&](const QString& line) { statusLines << line; });
      user.folderToChoose = QFile::decodeName(QByteArray::fromStdString(gbkFolder));
      QVERIFY(user.folderToChoose.contains(QChar::ReplacementCharacter));
      Control<QPushButton>(window.get(), control::kStartButton)->click();
      QCOMPARE(ListedNames(Control<QTableView>(window.get(), control::kResultList)),
               Texts({"中.txt"}));
      QCOMPARE(window->List().FullPath(0), gbkFolder + "/\xd6\xd0.txt");
      QCOMPARE(window->Options().Text(Field::FilterFolder), gbkFolder);
      QVERIFY(statusLines.size() >= 2);
      QVERIFY2(
          QRegularExpression(QStringLiteral("^\\(.+\\) 正在筛选：") +
                             QRegularExpression::escape(dir_.path()) + QStringLiteral("/报告/$"))
              .match(statusLines.first())
              .hasMatch(),
          qPrintable(statusLines.first()));
      window->close();
    }
    auto window = OpenWindow(SettingsPath(), user);
    QCOMPARE(window->Options().Text(Field::FilterFolder), gbkFolder);
    user.folderToChoose.clear();
    Control<QPushButton>(window.get(), control::kStartButton)->click();
    QCOMPARE(user.initialFolders.last(), dir_.path());
  }

  // A GBK name was found by no name test: the mask and the content filter's name test
  // held the typed UTF-8 against its bytes. It is matched as the list shows it.
  void aGbkNameIsFoundByTheNameTheListShows() {
    const std::string folder = QFile::encodeName(dir_.path()).toStdString() + "/names";
    WriteRawFile(folder + "/\xb7\xa2\xc6\xb1.txt", "x");  // 发票.txt in GBK
    WriteRawFile(folder + "/other.txt", "x");
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    auto* start = Control<QPushButton>(window.get(), control::kStartButton);
    auto* list = Control<QTableView>(window.get(), control::kResultList);
    user.folderToChoose = QString::fromStdString(folder);
    window->Options().SetText(Field::NameMask, "*发票*");
    start->click();
    QCOMPARE(ListedNames(list), Texts({"发票.txt"}));
    QTest::mousePress(start, Qt::RightButton);
    QCOMPARE(ListedNames(list), Texts({"发票.txt"}));

    window->Options().SetText(Field::NameMask, "*.*");
    window->Options().SetChecked(Check::ContentFilter, true);
    window->Options().SetText(Field::ContentPattern, "发票");
    start->click();
    QCOMPARE(ListedNames(list), Texts({"发票.txt"}));
    // By bytes: QTemporaryDir cannot remove names that are not UTF-8.
    std::filesystem::remove_all(folder);
  }

  // A pattern edited during a job into one that does not compile was once searched as it
  // was: found nowhere, so under 不含内容 the later folders listed every file. The job
  // keeps to the last pattern that compiled and says so when it ends.
  void aPatternEditedIntoOneThatDoesNotCompileIsSetAsideUntilTheJobEnds() {
    const QString folder = dir_.filePath(QStringLiteral("edited"));
    for (const char* sub : {"a", "b"}) {
      WriteFile(QStringLiteral("%1/%2/has.txt").arg(folder, QLatin1String(sub)), "the needle");
      WriteFile(QStringLiteral("%1/%2/lacks.txt").arg(folder, QLatin1String(sub)), "hay");
    }
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    OptionControls& options = window->Options();
    options.SetChecked(Check::ContentFilter, true);
    options.SetChecked(Check::InName, false);
    options.SetChecked(Check::InContent, true);
    options.SetChecked(Check::LacksContent, true);
    options.SetChecked(Check::ScopeTree, true);
    options.SetText(Field::ContentPattern, "need(le)");
    options.SetMatchModeIndex(2);
    user.folderToChoose = folder;
    // The first events the job handles: the pattern loses its ")".
    user.whileChoosing = [&] {
      QTimer::singleShot(0, [&] { options.SetText(Field::ContentPattern, "need(le"); });
    };
    Control<QPushButton>(window.get(), control::kStartButton)->click();
    QCOMPARE(ListedNames(Control<QTableView>(window.get(), control::kResultList)),
             Texts({"lacks.txt", "lacks.txt"}));
    QCOMPARE(user.boxes,
             QList{Warning(QStringLiteral("筛选中修改的筛选内容无法编译：missing closing "
                                          "parenthesis at character 8\n本次筛选一直使用最后一个"
                                          "可以编译的筛选内容。"))});
  }

  // A file whose answer the search's memory bound leaves open is listed neither under
  // 包含内容 nor under 不含内容, and the status line names it after the summary.
  void aFileTheSearchCannotDecideIsNamedAfterTheSummary() {
    const QString folder = dir_.filePath(QStringLiteral("undecided"));
    WriteFile(folder + QStringLiteral("/open.txt"), "x" + QByteArray(16 << 20, 'a') + "y");
    WriteFile(folder + QStringLiteral("/plain.txt"), "plain");
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    window->Options().SetChecked(Check::ContentFilter, true);
    window->Options().SetChecked(Check::InName, false);
    window->Options().SetChecked(Check::InContent, true);
    window->Options().SetChecked(Check::LacksContent, true);
    window->Options().SetText(Field::ContentPattern, "x[^y]*y");
    window->Options().SetMatchModeIndex(2);
    user.folderToChoose = folder;
    Control<QPushButton>(window.get(), control::kStartButton)->click();
    QCOMPARE(ListedNames(Control<QTableView>(window.get(), control::kResultList)),
             Texts({"plain.txt"}));
    const QString summary =
        Control<QStatusBar>(window.get(), control::kStatusBar)->currentMessage();
    QVERIFY2(summary.endsWith(
                 QStringLiteral("1 个文件无法在内存限制内判断是否含有筛选内容，未列出（如 ") +
                 folder + QStringLiteral("/open.txt）")),
             qPrintable(summary));
    QFile::remove(folder + QStringLiteral("/open.txt"));
  }

  // While the job runs the duplicate options are locked and the button says so; a second
  // press stops the job, and everything is unlocked again.
  void aRunningJobLocksTheDuplicateOptionsAndASecondPressStopsIt() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    auto* start = Control<QPushButton>(w, control::kStartButton);
    Control<QAbstractButton>(w, "选择框按重复筛选")->click();
    Control<QAbstractButton>(w, "选择框按长度筛选")->click();
    Control<QAbstractButton>(w, "单选框遍历子目录")->click();
    bool duplicateSwitchEnabled = true;
    bool md5Enabled = true;
    bool lengthEnabled = false;
    QString captionWhileRunning;
    QString captionAfterStop;
    user.folderToChoose = tree_;
    user.whileChoosing = [&] {
      QTimer::singleShot(0, [&] {
        duplicateSwitchEnabled = Control<QWidget>(w, "选择框按重复筛选")->isEnabled();
        md5Enabled = Control<QWidget>(w, "单选框MD5")->isEnabled();
        lengthEnabled = Control<QWidget>(w, "编辑框长度起始")->isEnabled();
        captionWhileRunning = start->text();
        start->click();
        captionAfterStop = start->text();
      });
    };
    start->click();
    QCOMPARE(captionWhileRunning, QString::fromUtf8(kStartCaptionRunning));
    QVERIFY(!duplicateSwitchEnabled);
    QVERIFY(!md5Enabled);
    QVERIFY(lengthEnabled);
    QCOMPARE(captionAfterStop, QString::fromUtf8(kStartCaptionStopping));
    QCOMPARE(start->text(), Idle());
    QVERIFY(window->List().Count() < 404);
    const QString summary = Control<QStatusBar>(w, control::kStatusBar)->currentMessage();
    QVERIFY(summary.startsWith(
        QStringLiteral("筛选完毕！共筛选出 %1 个文件").arg(window->List().Count())));
    QVERIFY(window->Stop().IsSet());
    QVERIFY(Control<QWidget>(w, "选择框按重复筛选")->isEnabled());
    QVERIFY(Control<QWidget>(w, "单选框MD5")->isEnabled());
  }

  // An MD5 job reads through the digest cache; a damaged one is started anew, changes no
  // row, and is told once, after the summary of the job that met it.
  void aDigestCacheProblemIsToldOnceInTheStatusLine() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    const QString cacheFile =
        QFile::decodeName(qgetenv("XDG_CACHE_HOME")) + QStringLiteral("/tarnwick/digests.sqlite");
    WriteFile(cacheFile, QByteArray(4096, 'x'));
    Control<QAbstractButton>(w, "选择框按重复筛选")->click();
    Control<QAbstractButton>(w, "单选框MD5")->click();
    Control<QAbstractButton>(w, "单选框全部重复文件")->click();
    Control<QAbstractButton>(w, "单选框遍历子目录")->click();
    auto* start = Control<QPushButton>(w, control::kStartButton);
    auto* status = Control<QStatusBar>(w, control::kStatusBar);
    user.folderToChoose = tree_ + QStringLiteral("/many");
    start->click();
    QCOMPARE(window->List().Count(), std::size_t{400});
    QVERIFY2(
        status->currentMessage().contains(QStringLiteral("。请单击按钮操作列表！  摘要缓存已损坏")),
        qPrintable(status->currentMessage()));
    start->click();
    QCOMPARE(window->List().Count(), std::size_t{400});
    QVERIFY2(status->currentMessage().endsWith(QStringLiteral("。请单击按钮操作列表！")),
             qPrintable(status->currentMessage()));
  }

  void closingTheWindowEndsARunningJob() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    Control<QAbstractButton>(window.get(), "单选框遍历子目录")->click();
    user.folderToChoose = tree_;
    user.whileChoosing = [&] { QTimer::singleShot(0, window.get(), &QWidget::close); };
    Control<QPushButton>(window.get(), control::kStartButton)->click();
    QVERIFY(!window->isVisible());
    QVERIFY(window->List().Count() < 404);
    QVERIFY(ReadFile(SettingsPath()).contains("遍历子目录=真"));
  }

  void busyCheckRefusesASecondLongOperation() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    user.folderToChoose = tree_;
    window->Stop().Clear();  // a long file operation is running
    Control<QPushButton>(window.get(), control::kStartButton)->click();
    QCOMPARE(user.messages, Texts({"在开始新操作之前请先停止正在执行的操作！"}));
    QCOMPARE(user.folderRequests, 0);
    QCOMPARE(window->List().Count(), std::size_t{0});
    QVERIFY(window->BusyCheck());
    window->Stop().Set();
    QVERIFY(!window->BusyCheck());
  }

  // However many rows come in after the last refresh of the status line, the job ends
  // with the list on its newest row.
  void theListEndsOnItsNewestRow() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    auto* list = Control<QTableView>(window.get(), control::kResultList);
    Control<QAbstractButton>(window.get(), "单选框遍历子目录")->click();
    user.folderToChoose = tree_;
    Control<QPushButton>(window.get(), control::kStartButton)->click();
    QCOMPARE(list->model()->rowCount(), 404);
    QVERIFY(list->verticalScrollBar()->maximum() > 0);
    QCOMPARE(list->verticalScrollBar()->value(), list->verticalScrollBar()->maximum());
  }

  // A job copies the options for its workers only when their revision has changed, so
  // every change of an option control, by the program or by the user, must count.
  void everyOptionControlCountsItsChanges() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    OptionControls& options = window->Options();
    const auto changes = [&options](const std::function<void()>& change) {
      const std::uint64_t before = options.Revision();
      change();
      return options.Revision() != before;
    };
    for (int i = 0; i < kCheckCount; ++i) {
      const auto check = static_cast<Check>(i);
      const bool radio = GroupOf(check).first != GroupOf(check).last;
      // A selected radio button is left alone: only selecting another one changes it.
      if (radio && options.IsChecked(check)) continue;
      QVERIFY2(changes([&] { options.SetChecked(check, !options.IsChecked(check)); }),
               ObjectName(check));
    }
    for (int i = 0; i < kFieldCount; ++i) {
      const auto field = static_cast<Field>(i);
      if (field == Field::FilterFolder || field == Field::MoveFolder || field == Field::CopyFolder)
        continue;  // remembered folders, not options of a job
      QVERIFY2(changes([&] { options.SetText(field, "2001-02-03 04:05:06"); }), ObjectName(field));
    }
    QVERIFY(changes([&] { options.SetMatchModeIndex(2); }));
    QVERIFY(changes([&] {
      QTest::keyClicks(Control<QLineEdit>(window.get(), "编辑框层次"), QStringLiteral("7"));
    }));
    QVERIFY(!changes([] {}));
    QVERIFY(FilterOptions(options) == Snapshot(options));
  }

  void rightButtonJobUsesTheMaskLister() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    auto* start = Control<QPushButton>(window.get(), control::kStartButton);
    auto* list = Control<QTableView>(window.get(), control::kResultList);
    window->Options().SetText(Field::NameMask, "*.txt");
    user.folderToChoose = tree_;
    QTest::mousePress(start, Qt::RightButton);
    QCOMPARE(user.folderRequests, 1);
    QCOMPARE(ListedNames(list), Texts({"a.txt", "c.txt"}));
    QCOMPARE(start->text(), Idle());

    // The left button with a pattern list: one listing per pattern, in pattern order.
    window->Options().SetText(Field::NameMask, "*.htm|a*");
    start->click();
    QCOMPARE(ListedNames(list), Texts({"b.htm", "a.txt"}));
  }
};

QTEST_MAIN(FilterJobWindowTest)
#include "filter_job_window_test.moc"
