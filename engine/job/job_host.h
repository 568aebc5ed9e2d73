#pragma once
// What a filter job needs from the program that runs it. The desktop processes window
// events and shows the status line; the command line does nothing (or prints progress).

#include <string>

namespace tarnwick {

class JobHost {
 public:
  virtual ~JobHost() = default;
  // Called before each file, after each directory entry and inside long digests: the
  // desktop handles clicks and timer ticks here (a stop press sets the StopFlag).
  virtual void ProcessPendingEvents() = 0;
  // The activity text shown after the elapsed time, such as "正在筛选：" + folder (UTF-8).
  virtual void SetStatusText(const std::string& text) = 0;
  // Refresh the status line now (on entry to each folder, before each digest).
  virtual void RefreshStatus() = 0;
  // A folder or file the job could not open or read, for a reason the system gives as
  // `error` (an errno: no permission, an I/O error). Called on the job's thread, in walk
  // order. The window stays silent, as it does for every single file; the command line
  // names each on standard error.
  virtual void ReportUnreadable(const std::string& /*path*/, int /*error*/) {}
  // A file the duplicate filter left out because it changed during the job: it was no
  // longer, when read or when its group was listed, the file the walk saw. Called on the
  // job's thread. The command line names each on standard error; the window tells of
  // them in the status line at the end.
  virtual void ReportChanged(const std::string& /*path*/) {}
};

}  // namespace tarnwick
