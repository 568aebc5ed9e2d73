#pragma once
// The orders 列表框 can show its rows in, besides the order they were added in: by any
// column, rising or falling. Rows of a duplicate group stay together: a group is placed
// by the value of its first row, and its rows follow in the same order among
// themselves. Rows with equal values keep the order they were added in.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "results/result_list.h"

namespace tarnwick {

// Columns as the model numbers them.
enum class SortColumn { Name = 0, Size = 1, Time = 2, Count = 3, Folder = 4 };

struct SortOrder {
  SortColumn column = SortColumn::Name;
  bool descending = false;
};

// The indexes of every row of `list` in `order`. Names and folders compare with ASCII
// letter case ignored and runs of digits by their value ("file2" before "file10"),
// other bytes by their value; sizes and character counts by the number their text
// shows; times by their text, which puts them in time order.
std::vector<std::uint32_t> SortedRows(const ResultList& list, SortOrder order);

// `rows` holds the first rows.size() rows of `list` in `order`; the rows after them are
// put in their places among them. The same as SortedRows when no row of `list` belongs
// to a duplicate group (a group's rows may come in several batches, which only a whole
// sort places together), and in time proportional to the list's length.
void MergeNewRows(std::vector<std::uint32_t>& rows, const ResultList& list, SortOrder order);

// True when some row of `list` belongs to a duplicate group.
bool HasGroups(const ResultList& list);

}  // namespace tarnwick
