#pragma once
// What a filter job needs from the program that runs it. The desktop processes window
// events and shows the status line; the command line does nothing (or prints progress).

#include <cstdint>
#include <string>

namespace tarnwick {

// The stages of the duplicate filter's work on the files the walk gave it, in the order a
// file goes through them. A job may be in several at once (the walk still hands files in
// while the first ones are read).
enum class DuplicateStage : std::uint8_t {
  LookUp,        // finding what the digest cache knows of the files
  CompareEnds,   // reading and comparing the first and last pieces of files of one size
  CompareWhole,  // reading and comparing the whole content of big files whose ends agree
  ReadMd5,       // reading the MD5 key of files that agree with another to their end
  ListGroups,    // putting the groups' files in the result list
};

// What a stage's progress counts.
enum class ProgressUnit : std::uint8_t { Files, Bytes };

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
  // A file whose content could not be searched within the memory bound (a partial match
  // of a wildcard or regex pattern ran longer than it): whether it holds the pattern is
  // not known, so it is listed neither as containing nor as lacking it. Called on the
  // job's thread, in walk order. The command line names it on standard error, the window
  // after the summary.
  virtual void ReportUndecided(const std::string& /*path*/) {}
  // The content pattern was edited during the job into one that does not compile in
  // its match mode (`problem` in the engine's words, as ContentPatternProblem gives it):
  // the job goes on with the last one that did. Called on the job's thread once for
  // each such edit; the window says so when the job ends.
  virtual void ReportRejectedPattern(const std::string& /*problem*/) {}
  // A file the duplicate filter left out because it changed during the job: it was no
  // longer, when read or when its group was listed, the file the walk saw. Called on the
  // job's thread. The command line names each on standard error; the window tells of
  // them in the status line at the end.
  virtual void ReportChanged(const std::string& /*path*/) {}
  // One more file the walk handed out has been looked at and its outcome taken in
  // (listed, given to the duplicate filter, or left out). Called once per file, in walk
  // order, on the job's thread: a host only counts it, and shows the count when it next
  // refreshes its status.
  virtual void FileExamined() {}
  // How far the duplicate filter has come in `stage`: `done` of `total` files or bytes,
  // as `unit` says, are finished (0 <= done <= total, total > 0). Called on the job's
  // thread, as often as every file: a host keeps the last call and shows it when it
  // next refreshes its status, so a call costs no more than storing its values. `total`
  // is what the stage has to do as far as is known at the call; it grows while the walk
  // still hands files in, and a stage may be reported again after a later one when new
  // files reach it. A job without the duplicate filter never calls it.
  virtual void ShowDuplicateProgress(DuplicateStage /*stage*/, std::uint64_t /*done*/,
                                     std::uint64_t /*total*/, ProgressUnit /*unit*/) {}
};

}  // namespace tarnwick
