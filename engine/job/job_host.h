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
  // A file the duplicate filter left out of its group when listing it: it is no longer
  // the file whose text was compared (written to, replaced or gone since it was read).
  // Called on the job's thread, in the order of the groups. The command line names each
  // on standard error; the window names them in the status line.
  virtual void ReportChangedSinceRead(const std::string& /*path*/) {}
};

}  // namespace tarnwick
