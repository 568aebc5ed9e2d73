#pragma once
// ResultList: the one store of result rows, in the order they were added. The desktop
// shows it through a table model; the command line prints it. Paths are the raw bytes
// the file system gave and are never re-encoded.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace tarnwick {

struct ResultRow {
  std::string name;       // 文件名: the path after its last "/" (raw bytes)
  std::string sizeText;   // 文件大小, such as "1.5 KB"
  std::string timeText;   // 文件时间
  std::string countText;  // 内容字数, digits grouped by four: "1,2345"
  std::string folder;     // 所在目录: the path before its last "/", followed by "/"
  // What the job learned of the file beyond the texts, for scripts (JSON output).
  std::int64_t characters = -1;  // this file's own character count; -1: not counted
  int encoding = 0;              // the TextEncoding its content was read as; 0: not read
  std::uint32_t group = 0;       // duplicate jobs: the group's number from 1; 0: none
  // 相似 jobs: how much the file resembles its group's first file, in tenths of a
  // percent (1000 for that file itself); -1: not measured.
  int similarity = -1;
};

// Consecutive rows: `count` rows from index `first`.
struct RowRun {
  std::size_t first = 0;
  std::size_t count = 0;
  bool operator==(const RowRun&) const = default;
};

class ResultList {
 public:
  // Told of every change, so a view can follow without copying rows.
  class Observer {
   public:
    virtual ~Observer() = default;
    virtual void RowsAppended(std::size_t first, std::size_t count) = 0;
    // The rows of `runs` have left the list, all at once. The runs are ascending and
    // apart, numbered as the rows were before the removal.
    virtual void RowsRemoved(std::span<const RowRun> runs) = 0;
    virtual void RowChanged(std::size_t index) = 0;
    virtual void Cleared() = 0;
  };

  void SetObserver(Observer* observer) { observer_ = observer; }

  // A list whose reader shows nothing but each row's path (the command line's path
  // output) asks for rows with 文件名 and 所在目录 only: the other texts would cost a
  // stat per file that no one reads. Kept across Clear().
  void SetPathsOnly(bool pathsOnly) { pathsOnly_ = pathsOnly; }
  bool PathsOnly() const { return pathsOnly_; }

  void Append(ResultRow&& row);
  void Clear();
  // Removes the rows at `indexes` (in any order; repeats and indexes past the end are
  // ignored) in one pass over the list, moving only the rows on the shorter side of
  // them, and tells the observer once.
  void RemoveRows(std::vector<std::size_t> indexes);
  // Rewrites 所在目录 of one row (a move); `folder` ends in "/".
  void SetFolder(std::size_t index, std::string folder);

  std::size_t Count() const { return rows_.size(); }
  const ResultRow& Row(std::size_t index) const { return rows_[index]; }
  // 所在目录 followed by 文件名: the only way to a row's file path.
  std::string FullPath(std::size_t index) const;

 private:
  // A deque grows without copying every row: a list of a million rows never
  // stalls the window while it grows.
  std::deque<ResultRow> rows_;
  Observer* observer_ = nullptr;
  bool pathsOnly_ = false;
};

}  // namespace tarnwick
