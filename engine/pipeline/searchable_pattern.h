#pragma once
// The content search a job keeps to. Its pattern is checked before the job starts; one
// edited during the job into a pattern that does not compile in its match mode (a
// half-typed «发票(») is set aside: the job goes on with the last content search that
// compiled, for the files handed out from then on, and tells the host, which shows the
// reason when the job ends. A search that does not compile would find nothing, and under
// 不含内容 list every file.

#include <optional>
#include <string>

#include "engine/job/filter_options.h"
#include "engine/job/job_host.h"

namespace tarnwick {

class SearchablePattern {
 public:
  // `atStart`: the options as the job starts, before any window event is handled (the
  // caller has checked them): the first content search to go on with.
  SearchablePattern(JobHost& host, const OptionControls& atStart);

  // `options` is a copy of the options as they read now, on the job's thread. When its
  // content search compiles (or the content filter is off) it is remembered; when it does
  // not, the last one that did takes its place in `options` (switch, match mode and
  // pattern), and the host hears of each such edit once. Should even the first not
  // compile, it is kept: there is nothing to go on with.
  void Keep(FilterOptions& options);

 private:
  struct Search {
    bool on = false;
    int mode = 0;
    std::string pattern;
    bool operator==(const Search&) const = default;
  };
  static Search SearchOf(const OptionControls& options);

  JobHost& host_;
  std::optional<Search> searchable_;
  std::optional<Search> rejected_;  // the last edit set aside, told once
};

}  // namespace tarnwick
