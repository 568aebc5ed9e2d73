// Times a filter job run from the window, the way a user runs it, and how live the
// window stays meanwhile. Run by hand:
//
//   window_job_timing FOLDER [content WORD]
//
// Prints the job's wall time and row count, the longest time without handling events,
// the status-line updates seen, then runs the job again and presses stop after two
// seconds, printing how long the stop took to take effect (not when TIMING_NO_STOP is
// set in the environment).

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "app/controls/control_roster.h"
#include "app/window/main_window.h"
#include "platform/heap_pages.h"

using namespace tarnwick;

int main(int argc, char* argv[]) {
  // As the window program does.
  tarnwick::platform::PreferHugePagesForHeap();
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_job_timing FOLDER [content WORD]\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QTemporaryDir dir;
  WindowPlatform platform;
  platform.showMessage = [](const QString& text, QMessageBox::StandardButtons, const QString&,
                            QMessageBox::Icon) {
    std::printf("message: %s\n", text.toUtf8().constData());
    return QMessageBox::Ok;
  };
  platform.chooseFolder = [&folder](const QString&, const QString&) { return folder; };
  platform.chooseExportFile = [] { return QString(); };
  platform.isCtrlHeld = [] { return false; };
  MainWindow window(QFile::encodeName(dir.filePath(QStringLiteral("Tarnwick.ini"))).toStdString(),
                    platform);
  window.show();
  QCoreApplication::processEvents();

  OptionControls& options = window.Options();
  options.SetChecked(Check::ScopeTree, true);
  if (argc >= 4 && qstrcmp(argv[2], "content") == 0) {
    options.SetChecked(Check::ContentFilter, true);
    options.SetChecked(Check::InName, false);
    options.SetChecked(Check::InContent, true);
    options.SetText(Field::ContentPattern, argv[3]);
  }
  auto* start = window.findChild<QPushButton*>(QString::fromUtf8(control::kStartButton));
  auto* status = window.findChild<QStatusBar*>(QString::fromUtf8(control::kStatusBar));

  QElapsedTimer job;
  QElapsedTimer sinceTick;
  qint64 longestFreeze = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 gap = sinceTick.restart();
    if (gap > 80 && qEnvironmentVariableIsSet("TIMING_SHOW_FREEZES"))
      std::printf("  freeze of %lld ms at %lld ms, %zu rows\n", static_cast<long long>(gap),
                  static_cast<long long>(job.elapsed()), window.List().Count());
    longestFreeze = std::max(longestFreeze, gap);
  });
  int statusUpdates = 0;
  QObject::connect(status, &QStatusBar::messageChanged, [&] { ++statusUpdates; });

  ticker.start(5);
  sinceTick.start();
  job.start();
  start->click();
  std::printf("job: %lld ms, %zu rows, longest freeze %lld ms, %d status updates\n",
              static_cast<long long>(job.elapsed()), window.List().Count(),
              static_cast<long long>(longestFreeze), statusUpdates);
  std::printf("summary: %s\n", status->currentMessage().toUtf8().constData());

  if (qEnvironmentVariableIsSet("TIMING_NO_STOP")) return 0;
  // The press is due 2 s after the start; the window handles it late by as long as the
  // job kept it from handling events.
  qint64 pressHandledAt = 0;
  QTimer::singleShot(2000, Qt::PreciseTimer, [&] {
    pressHandledAt = job.elapsed();
    start->click();
  });
  job.start();
  start->click();
  std::printf("stop pressed at 2000 ms: handled at %lld ms, job ended at %lld ms, %zu rows\n",
              static_cast<long long>(pressHandledAt), static_cast<long long>(job.elapsed()),
              window.List().Count());
  return 0;
}
