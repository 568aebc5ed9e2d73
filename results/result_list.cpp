#include "results/result_list.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

void ResultList::Append(ResultRow&& row) {
  rows_.push_back(std::move(row));
  if (observer_) observer_->RowsAppended(rows_.size() - 1, 1);
}

void ResultList::Clear() {
  rows_.clear();
  if (observer_) observer_->Cleared();
}

void ResultList::RemoveRows(std::vector<std::size_t> indexes) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  indexes.erase(std::lower_bound(indexes.begin(), indexes.end(), rows_.size()), indexes.end());
  if (indexes.empty()) return;

  std::vector<RowRun> runs;
  for (const std::size_t index : indexes) {
    if (!runs.empty() && runs.back().first + runs.back().count == index) {
      ++runs.back().count;
    } else {
      runs.push_back({index, 1});
    }
  }

  // The kept rows between the first and the last removed one close up towards the side
  // that has fewer rows beyond them; only those rows and the ones in between move.
  const std::size_t first = indexes.front();
  const std::size_t last = indexes.back();
  if (first < rows_.size() - 1 - last) {
    std::size_t write = last + 1;
    auto removed = indexes.rbegin();
    for (std::size_t read = last + 1; read-- > 0;) {
      if (removed != indexes.rend() && *removed == read) {
        ++removed;
        continue;
      }
      rows_[--write] = std::move(rows_[read]);
    }
    rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(write));
  } else {
    std::size_t write = first;
    auto removed = indexes.begin();
    for (std::size_t read = first; read < rows_.size(); ++read) {
      if (removed != indexes.end() && *removed == read) {
        ++removed;
        continue;
      }
      rows_[write++] = std::move(rows_[read]);
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(write), rows_.end());
  }
  if (observer_) observer_->RowsRemoved(runs);
}

void ResultList::SetFolder(std::size_t index, std::string folder) {
  if (index >= rows_.size()) return;
  rows_[index].folder = std::move(folder);
  if (observer_) observer_->RowChanged(index);
}

std::string ResultList::FullPath(std::size_t index) const {
  const ResultRow& row = rows_[index];
  return row.folder + row.name;
}

}  // namespace tarnwick
