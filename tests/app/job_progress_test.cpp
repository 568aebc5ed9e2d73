// What the window shows of a running job beyond the status line: the count of files
// examined and listed, growing as the job goes and kept when it ends; the last file
// operation's words gone when a job starts; the duplicate stages and how far they are.

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/controls/control_roster.h"
#include "window_fixture.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

// The two numbers of "已检查 1,234 个文件，列出 56 个".
std::pair<int, int> Counts(const QString& text) {
  static const QRegularExpression numbers(
      QStringLiteral("已检查 ([0-9,]+) 个文件，列出 ([0-9,]+) 个"));
  const QRegularExpressionMatch match = numbers.match(text);
  if (!match.hasMatch()) return {-1, -1};
  auto value = [&](int group) { return match.captured(group).remove(QLatin1Char(',')).toInt(); };
  return {value(1), value(2)};
}

// What the status timer's tick does, now.
void Tick(QTimer* timer) { QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection); }

// Runs `during` once, the first time the job handles events after it has started.
void OnceTheJobRuns(ScriptedUser& user, std::function<void()> during) {
  user.whileChoosing = [during = std::move(during)] { QTimer::singleShot(0, during); };
}

}  // namespace

class JobProgressTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString tree_;
  QString SettingsPath() const { return dir_.filePath(QStringLiteral("Tarnwick.ini")); }

 private slots:
  void initTestCase() {
    tree_ = dir_.filePath(QStringLiteral("tree"));
    for (int folder = 0; folder < 40; ++folder) {
      for (int file = 0; file < 100; ++file)
        WriteFile(QStringLiteral("%1/d%2/f%3.txt").arg(tree_).arg(folder).arg(file),
                  QByteArray(48000, 'x') + "发票 " + QByteArray::number(file % 3));
    }
  }

  void init() { QFile::remove(SettingsPath()); }

  // A content search through 192 MB in 4,000 files: the count beside the status line grows while
  // it runs, never past what the job has seen, and ends at every file and every row. The
  // window handles its events a few times a second during a job, so a fast machine may
  // show the count only once or twice before the end: once is enough, midway.
  void theCountGrowsDuringAJobAndStays() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    Control<QAbstractButton>(w, "单选框遍历子目录")->click();
    Control<QAbstractButton>(w, "选择框按内容筛选")->click();
    Control<QAbstractButton>(w, "选择框文件名")->click();  // the content alone
    Control<QAbstractButton>(w, "选择框文件内容")->click();
    window->Options().SetText(Field::ContentPattern, "发票 1");
    auto* counts = Control<QLabel>(w, control::kCountLabel);
    auto* tick = Control<QTimer>(w, control::kTimer);
    QList<std::pair<int, int>> seen;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, [&] {
      Tick(tick);
      seen << Counts(counts->text());
    });
    user.folderToChoose = tree_;
    user.whileChoosing = [&] { sampler.start(5); };
    Control<QPushButton>(w, control::kStartButton)->click();
    sampler.stop();

    QCOMPARE(Counts(counts->text()), std::make_pair(4000, 1320));
    QVERIFY2(!seen.isEmpty(), "the count was never shown during the job");
    bool between = false;
    for (int i = 0; i < seen.size(); ++i) {
      QVERIFY(seen[i].first >= 0 && seen[i].second <= seen[i].first);
      if (i > 0) QVERIFY(seen[i].first >= seen[i - 1].first);
      between |= seen[i].first > 0 && seen[i].first < 4000;
    }
    QVERIFY(between);
  }

  // "复制完毕！…" belongs to the copy before: a job starts with an empty progress line
  // and bar, and leaves them so.
  void aJobStartsWithoutTheLastOperationsWords() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    auto* text = Control<QLabel>(window.get(), control::kProgressText);
    auto* bar = Control<QProgressBar>(window.get(), control::kProgressBar);
    text->setText(QStringLiteral("复制完毕！共 3 个文件，成功复制 3 个文件，耗时 1 秒"));
    bar->setRange(0, 3);
    bar->setValue(2);
    QString during = QStringLiteral("<not run>");
    user.folderToChoose = tree_;
    OnceTheJobRuns(user, [&] { during = text->text(); });
    Control<QPushButton>(window.get(), control::kStartButton)->click();
    QCOMPARE(during, QString());
    QCOMPARE(text->text(), QString());
    QCOMPARE(bar->value(), bar->minimum());
  }

  // The duplicate filter tells its host its stage and how far it is, in files or bytes:
  // the window shows it in the progress line and bar at the next refresh, and clears it
  // when the job ends.
  void theDuplicateStagesShowHowFarTheyAre() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    Control<QAbstractButton>(w, "选择框按重复筛选")->click();
    auto* text = Control<QLabel>(w, control::kProgressText);
    auto* bar = Control<QProgressBar>(w, control::kProgressBar);
    auto* tick = Control<QTimer>(w, control::kTimer);
    QStringList shown;
    QList<double> filled;
    user.folderToChoose = tree_;
    OnceTheJobRuns(user, [&] {
      JobHost& host = window->FilterJobHost();
      const struct {
        DuplicateStage stage;
        std::uint64_t done, total;
        ProgressUnit unit;
      } steps[] = {{DuplicateStage::CompareEnds, 250, 1000, ProgressUnit::Files},
                   {DuplicateStage::ReadMd5, 1536, 3 * 1024 * 1024, ProgressUnit::Bytes},
                   {DuplicateStage::ListGroups, 12345, 12345, ProgressUnit::Files}};
      for (const auto& step : steps) {
        host.ShowDuplicateProgress(step.stage, step.done, step.total, step.unit);
        Tick(tick);
        shown << text->text();
        filled << static_cast<double>(bar->value() - bar->minimum()) /
                      (bar->maximum() - bar->minimum());
      }
    });
    Control<QPushButton>(w, control::kStartButton)->click();
    QCOMPARE(shown, Texts({"正在比较文件首尾：250 / 1,000 个文件", "正在读MD5：1.5 KB / 3 MB",
                           "正在列出重复文件：12,345 / 12,345 个文件"}));
    QCOMPARE(filled[0], 0.25);
    QVERIFY(filled[1] < 0.001);
    QCOMPARE(filled[2], 1.0);
    QCOMPARE(text->text(), QString());
    QCOMPARE(bar->value(), bar->minimum());
  }
};

QTEST_MAIN(JobProgressTest)
#include "job_progress_test.moc"
