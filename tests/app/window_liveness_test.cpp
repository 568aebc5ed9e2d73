// The window stays live through a long read whatever the core count: on a machine (or
// a share of one) with a single core the job's work still runs beside the window's
// thread, which only waits, handles events and answers a stop press at once.

#include <sched.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/controls/control_roster.h"
#include "window_fixture.h"

using namespace tarnwick;
using namespace tarnwick::testing;

class WindowLivenessTest : public QObject {
  Q_OBJECT

 private slots:
  void aLongReadOnOneCoreLeavesTheWindowLiveAndStopsAtOnce() {
    // Every thread of the test, the job's workers too, on one core.
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    QCOMPARE(sched_setaffinity(0, sizeof one, &one), 0);

    // Text followed by a hole: valid UTF-8 to its end, so a search that finds nothing
    // reads all of it, a second or more.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("tree"));
    WriteFile(folder + QStringLiteral("/long.txt"), "quill text");
    QVERIFY(::truncate(QFile::encodeName(folder + QStringLiteral("/long.txt")).constData(),
                       2LL << 30) == 0);

    ScriptedUser user;
    auto window = OpenWindow(dir.filePath(QStringLiteral("Tarnwick.ini")), user);
    QWidget* w = window.get();
    Control<QAbstractButton>(w, "选择框按内容筛选")->click();
    Control<QPlainTextEdit>(w, "编辑框筛选内容")->setPlainText(QStringLiteral("zzzz"));
    Control<QAbstractButton>(w, "单选框不含内容")->click();
    Control<QAbstractButton>(w, "选择框文件内容")->setChecked(true);
    auto* start = Control<QPushButton>(w, control::kStartButton);

    // A tick every 5 ms records the longest time the window went without handling
    // events (it handles them at most every 40 ms during a job); 300 ms into the job the
    // start button is pressed again.
    QElapsedTimer sinceTick;
    QElapsedTimer sincePress;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    connect(&ticker, &QTimer::timeout,
            [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    user.folderToChoose = folder;
    user.whileChoosing = [&] {
      QTimer::singleShot(0, [&] {
        sinceTick.start();
        ticker.start();
      });
      QTimer::singleShot(300, [&] {
        sincePress.start();
        start->click();
      });
    };
    start->click();
    const qint64 stopTook = sincePress.elapsed();
    ticker.stop();
    QVERIFY2(sincePress.isValid(), "the job ended before the stop press");
    qInfo("longest time without events %lld ms, the stop took %lld ms", longestGap, stopTook);
    // A frozen window goes seconds without events; a live one some tens of milliseconds,
    // more when other programs share the core.
    QVERIFY2(longestGap < 250, qPrintable(QStringLiteral("%1 ms without events").arg(longestGap)));
    QVERIFY2(stopTook < 250, qPrintable(QStringLiteral("the stop took %1 ms").arg(stopTook)));
    QCOMPARE(window->List().Count(), std::size_t{0});
  }
};

QTEST_MAIN(WindowLivenessTest)
#include "window_liveness_test.moc"
