#pragma once
// The command line's side of a filter job. Between files it does no work but, a few
// times a second, show a progress line on standard error (when that is a terminal)
// and pass results on to a terminal on standard output. Ctrl-C reaches the job
// through the StopFlag (see interrupt.h).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/output_writer.h"
#include "cli/row_printer.h"
#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"

namespace tarnwick::cli {

class TerminalHost final : public JobHost {
 public:
  struct Settings {
    bool showProgress;    // draw the progress line on standard error
    bool liveOutput;      // standard output is a terminal: write results out as they come
    bool nameUnreadable;  // name each folder and file that cannot be read on standard error
  };
  TerminalHost(Settings settings, const RowPrinter& printer, OutputWriter& out, StopFlag& stop);

  void ProcessPendingEvents() override;
  void SetStatusText(const std::string& text) override;
  void RefreshStatus() override;
  // "tarnwick-cli: PATH: reason" on standard error (unless quiet), as find does.
  void ReportUnreadable(const std::string& path, int error) override;
  void ReportChanged(const std::string& path) override;

  // Folders and files reported as unreadable so far.
  std::size_t UnreadableCount() const { return unreadable_; }

  // Milliseconds since the host was made (the job's start).
  std::int64_t ElapsedMs() const;
  // Removes the progress line, so the summary or an error can take its place.
  void ClearProgress();

 private:
  using Clock = std::chrono::steady_clock;
  void Tick();
  void DrawProgress();

  Settings settings_;
  const RowPrinter& printer_;
  OutputWriter& out_;
  StopFlag& stop_;
  std::string status_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastTick_ = start_;
  unsigned callsSinceClock_ = 0;
  bool started_ = false;
  bool progressShown_ = false;
  std::size_t unreadable_ = 0;
};

// Terminal columns `text` takes, as FitToColumns counts them.
int DisplayColumns(const std::string& text);
// The tail of `text` that fits in `columns` terminal columns, led by "…" when cut.
// East Asian characters count two columns. `text` is taken as UTF-8.
std::string FitToColumns(const std::string& text, int columns);

}  // namespace tarnwick::cli
