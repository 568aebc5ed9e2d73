#pragma once
// The duplicate filter: collects the files that passed the other filters into groups
// of equal key (MD5 digest, length or name) during the walk and lists them after it.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/job_host.h"
#include "engine/option_controls.h"
#include "engine/stop_flag.h"
#include "platform/file_ref.h"
#include "results/result_list.h"

namespace tarnwick {

class DuplicateStore {
 public:
  DuplicateStore();
  ~DuplicateStore();
  DuplicateStore(const DuplicateStore&) = delete;
  DuplicateStore& operator=(const DuplicateStore&) = delete;

  // Forgets every group (start of a job).
  void Clear();

  // Adds a file that passed the other filters. The key is chosen by the selected key
  // button; `size` is the file's length as measured by the walk. The same file reached
  // twice (same device and inode) is kept once.
  void Add(const std::string& path, std::int64_t size, const OptionControls& options, JobHost& host,
           const StopFlag& stop);
  // The same for a file the walk reaches by its name in an open folder.
  void Add(const platform::FileRef& file, std::int64_t size, const OptionControls& options,
           JobHost& host, const StopFlag& stop);

  // Appends the groups' files to `list` as the selected output asks: one file of each
  // group of two or more, every file of those groups, or all but the first of each.
  // Groups come in the order of their first file; files in the order they were found.
  void List(const OptionControls& options, ResultList& list, JobHost& host, const StopFlag& stop);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tarnwick
