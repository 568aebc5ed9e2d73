#include "results/result_list.h"

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

void ResultList::RemoveRow(std::size_t index) {
  if (index >= rows_.size()) return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  if (observer_) observer_->RowRemoved(index);
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
