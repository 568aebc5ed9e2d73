#pragma once
// Running the duplicate filter in tests: the store fed a list of files as a walk would,
// and the rows that digesting every file whole would give, to compare against.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/duplicates/content_digest.h"
#include "engine/duplicates/duplicate_filter.h"
#include "engine/job/filter_options.h"
#include "engine/schedule/worker_pool.h"
#include "platform/read_only_file.h"
#include "platform/sha256_digest.h"
#include "tests/engine/walk_test_support.h"

namespace tarnwick::test {

using Paths = std::vector<std::string>;

// A running job's stop flag and a host that can press stop when it is told something.
struct Digesting {
  Digesting() { stop.Clear(); }
  StopFlag stop;
  RecordingHost host;
};

inline FilterOptions DuplicateOptions(Check kind, Check output) {
  return Ticked({Check::DuplicateFilter, kind, output});
}

// How a job reads MD5 keys: a cache or none, and the job's threads (0: one per core; 1:
// on the job's thread alone, as a job with one thread does).
struct DigestRun {
  DigestCache* cache = nullptr;
  unsigned threads = 0;
};

// The pool a job of `threads` threads makes; none for one thread.
inline std::unique_ptr<WorkerPool> JobPool(unsigned threads) {
  const unsigned count = WorkerCount(threads);
  return count > 1 ? std::make_unique<WorkerPool>(count) : nullptr;
}

// Adds the files in order, ends the walk and lists the groups, as a job does; a stop
// the host presses meanwhile still lists the groups found so far.
inline Paths RunStore(const Paths& files, const FilterOptions& options, Digesting& job,
                      const DigestRun& run = {}) {
  const std::unique_ptr<WorkerPool> pool = JobPool(run.threads);
  DuplicateStore store(options, job.host, job.stop, pool.get(), run.cache);
  for (const std::string& path : files) store.Add(platform::FileAtPath(path), 0);
  store.FinishWalk();
  job.stop.Clear();
  ResultList list;
  store.List(list);
  Paths paths;
  for (std::size_t index = 0; index < list.Count(); ++index) paths.push_back(list.FullPath(index));
  return paths;
}

inline Paths RunStore(const Paths& files, const FilterOptions& options, const DigestRun& run = {}) {
  Digesting job;
  return RunStore(files, options, job, run);
}

// A stop request that asks `stop`.
inline StopRequest AskFlag(const StopFlag& stop) {
  return [&stop] { return stop.IsSet(); };
}

// The content digest of one file read whole, or "" when it has none.
inline std::string KeyOfFile(const std::string& path, const StopFlag& stop) {
  platform::ReadOnlyFile file;
  platform::Sha256Value key{};
  if (!file.Open(path) || ContentDigestOf(file, AskFlag(stop), key) != ReadEnd::Done) return "";
  return platform::HexText(key);
}

// The rows of digesting every file whole, in walk order, and searching the groups in
// turn: what the store must list, however few files it reads.
inline Paths ListByDigestingEveryFile(const Paths& files, Check output) {
  Digesting job;
  std::vector<std::pair<std::string, Paths>> groups;
  for (const std::string& path : files) {
    const std::string key = KeyOfFile(path, job.stop);
    if (key.empty()) continue;
    const auto group = std::find_if(groups.begin(), groups.end(),
                                    [&key](const auto& known) { return known.first == key; });
    if (group == groups.end()) {
      groups.push_back({key, {path}});
    } else {
      group->second.push_back(path);
    }
  }
  Paths listed;
  for (const auto& [key, members] : groups) {
    if (members.size() < 2) continue;
    std::size_t count = members.size();
    if (output == Check::DupOne) count = 1;
    if (output == Check::DupAllButOne) count -= 1;
    listed.insert(listed.end(), members.begin(),
                  members.begin() + static_cast<std::ptrdiff_t>(count));
  }
  return listed;
}

}  // namespace tarnwick::test
