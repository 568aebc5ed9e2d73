#include "app/list/row_order.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <string_view>
#include <unordered_map>

namespace tarnwick {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

unsigned char Folded(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// Names as people read them: letter case aside, and numbers by their value.
int CompareNatural(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      // Leading zeros aside, the longer run is the larger number.
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      std::size_t endA = i;
      std::size_t endB = j;
      while (endA < a.size() && IsDigit(a[endA])) ++endA;
      while (endB < b.size() && IsDigit(b[endB])) ++endB;
      if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
      if (const int digits = a.substr(i, endA - i).compare(b.substr(j, endB - j)); digits != 0)
        return digits;
      i = endA;
      j = endB;
      continue;
    }
    const unsigned char x = Folded(a[i]);
    const unsigned char y = Folded(b[j]);
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

// The byte count 文件大小 shows: "1.5 KB" is 1536.
double SizeValue(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) return -1;  // no size shown: before every size
  const std::string_view unit(end, static_cast<std::size_t>(text.data() + text.size() - end));
  constexpr std::string_view kUnits[] = {" KB", " MB", " GB", " TB", " PB"};
  for (std::size_t power = 0; power < std::size(kUnits); ++power) {
    if (unit == kUnits[power]) return value * std::pow(1024.0, static_cast<double>(power + 1));
  }
  return value;
}

// The number 内容字数 shows, its digits grouped by ","; none shown sorts first.
double CountValue(std::string_view text) {
  if (text.empty()) return -1;
  double value = 0;
  bool negative = false;
  for (const char c : text) {
    if (c == '-') negative = true;
    if (IsDigit(c)) value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

// Compares rows by one column, with each row's number worked out once.
class RowComparer {
 public:
  RowComparer(const ResultList& list, SortOrder order) : list_(list), order_(order) {
    if (order.column != SortColumn::Size && order.column != SortColumn::Count) return;
    numbers_.resize(list.Count());
    for (std::size_t i = 0; i < list.Count(); ++i) numbers_[i] = Number(list.Row(i));
  }

  // <0, 0 or >0 as row a comes before, with or after row b in the order.
  int Compare(std::uint32_t a, std::uint32_t b) const {
    const int rising = CompareRising(a, b);
    return order_.descending ? -rising : rising;
  }

 private:
  double Number(const ResultRow& row) const {
    return order_.column == SortColumn::Size ? SizeValue(row.sizeText) : CountValue(row.countText);
  }

  int CompareRising(std::uint32_t a, std::uint32_t b) const {
    const ResultRow& x = list_.Row(a);
    const ResultRow& y = list_.Row(b);
    switch (order_.column) {
      case SortColumn::Name:
        return CompareNatural(x.name, y.name);
      case SortColumn::Size:
      case SortColumn::Count: {
        const double p = a < numbers_.size() ? numbers_[a] : Number(x);
        const double q = b < numbers_.size() ? numbers_[b] : Number(y);
        return p < q ? -1 : (q < p ? 1 : 0);
      }
      case SortColumn::Time:
        return x.timeText.compare(y.timeText);
      case SortColumn::Folder:
        if (const int folder = CompareNatural(x.folder, y.folder); folder != 0) return folder;
        return CompareNatural(x.name, y.name);
    }
    return 0;
  }

  const ResultList& list_;
  SortOrder order_;
  std::vector<double> numbers_;
};

}  // namespace

bool HasGroups(const ResultList& list) {
  for (std::size_t i = 0; i < list.Count(); ++i) {
    if (list.Row(i).group != 0) return true;
  }
  return false;
}

std::vector<std::uint32_t> SortedRows(const ResultList& list, SortOrder order) {
  const RowComparer comparer(list, order);
  const auto count = static_cast<std::uint32_t>(list.Count());
  if (!HasGroups(list)) {
    // Every row its own unit: one sort, equal rows in the order they were added in.
    std::vector<std::uint32_t> rows(count);
    std::iota(rows.begin(), rows.end(), 0u);
    std::sort(rows.begin(), rows.end(), [&comparer](std::uint32_t a, std::uint32_t b) {
      const int compared = comparer.Compare(a, b);
      return compared != 0 ? compared < 0 : a < b;
    });
    return rows;
  }
  // Each row's unit: the first row of its duplicate group, or the row itself.
  std::vector<std::uint32_t> unitOf(count);
  std::unordered_map<std::uint32_t, std::uint32_t> firstOfGroup;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t group = list.Row(i).group;
    unitOf[i] = group == 0 ? i : firstOfGroup.try_emplace(group, i).first->second;
  }
  // Units together, each in order among itself.
  std::vector<std::uint32_t> rows(count);
  std::iota(rows.begin(), rows.end(), 0u);
  std::stable_sort(rows.begin(), rows.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (unitOf[a] != unitOf[b]) return unitOf[a] < unitOf[b];
    return comparer.Compare(a, b) < 0;
  });
  // The units by their first row, equal ones in the order they were added in.
  std::vector<std::pair<std::size_t, std::size_t>> units;  // [begin, end) in rows
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i == 0 || unitOf[rows[i]] != unitOf[rows[i - 1]]) units.push_back({i, i});
    units.back().second = i + 1;
  }
  std::stable_sort(units.begin(), units.end(), [&](const auto& a, const auto& b) {
    return comparer.Compare(rows[a.first], rows[b.first]) < 0;
  });
  std::vector<std::uint32_t> sorted;
  sorted.reserve(count);
  for (const auto& [begin, end] : units)
    sorted.insert(sorted.end(), rows.begin() + static_cast<std::ptrdiff_t>(begin),
                  rows.begin() + static_cast<std::ptrdiff_t>(end));
  return sorted;
}

void MergeNewRows(std::vector<std::uint32_t>& rows, const ResultList& list, SortOrder order) {
  const RowComparer comparer(list, order);
  const std::size_t old = rows.size();
  for (std::size_t i = old; i < list.Count(); ++i) rows.push_back(static_cast<std::uint32_t>(i));
  const auto less = [&](std::uint32_t a, std::uint32_t b) {
    const int compared = comparer.Compare(a, b);
    return compared != 0 ? compared < 0 : a < b;
  };
  const auto middle = rows.begin() + static_cast<std::ptrdiff_t>(old);
  std::sort(middle, rows.end(), less);
  std::inplace_merge(rows.begin(), middle, rows.end(), less);
}

}  // namespace tarnwick
