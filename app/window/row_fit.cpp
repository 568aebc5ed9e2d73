#include "app/window/row_fit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <numeric>

#include "app/controls/caption_width.h"

namespace tarnwick {
namespace {

// The room kept between two controls of a row that had to move.
constexpr int kGap = 6;
// Edit boxes of a crowded row are narrowed down to this width, not further.
constexpr int kNarrowestEdit = 40;

bool IsEditBox(const QWidget* widget) {
  return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget);
}

bool ShareHeight(const QRect& a, const QRect& b) {
  return a.top() <= b.bottom() && b.top() <= a.bottom();
}

// Places the row's controls left to right, none closer than `gap` to one before it
// that shares its height; with `packed` each goes as far left as that allows, else no
// further left than the roster put it.
void PlaceRow(std::vector<Placement>& items, const std::vector<std::size_t>& row, int gap,
              bool packed, const std::vector<QRect>& roster) {
  for (std::size_t i = 0; i < row.size(); ++i) {
    QRect& rect = items[row[i]].rect;
    const int rosterLeft = roster[row[i]].left();
    int clear = -1;  // the first column clear of the controls before it, if any
    for (std::size_t j = 0; j < i; ++j) {
      const QRect& before = items[row[j]].rect;
      if (!ShareHeight(before, rect)) continue;
      // Controls the roster set closer than `gap` keep their distance while they fit.
      const int rosterGap = rosterLeft - roster[row[j]].right() - 1;
      const int kept = packed ? gap : std::clamp(rosterGap, 0, gap);
      clear = std::max(clear, before.right() + 1 + kept);
    }
    if (clear < 0) {
      rect.moveLeft(rosterLeft);
    } else {
      rect.moveLeft(packed ? clear : std::max(rosterLeft, clear));
    }
  }
}

int RightOf(const std::vector<Placement>& items, const std::vector<std::size_t>& row) {
  int right = 0;
  for (const std::size_t index : row) right = std::max(right, items[index].rect.right() + 1);
  return right;
}

}  // namespace

std::vector<std::vector<std::size_t>> RowsOf(const std::vector<Placement>& items) {
  std::vector<std::size_t> order(items.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&items](std::size_t a, std::size_t b) {
    return items[a].rect.top() < items[b].rect.top();
  });
  std::vector<std::vector<std::size_t>> rows;
  int rowBottom = 0;
  for (const std::size_t index : order) {
    const QRect& rect = items[index].rect;
    if (rows.empty() || rect.top() > rowBottom) {
      rows.emplace_back();
      rowBottom = rect.bottom();
    }
    rows.back().push_back(index);
    rowBottom = std::max(rowBottom, rect.bottom());
  }
  for (auto& row : rows) {
    std::stable_sort(row.begin(), row.end(), [&items](std::size_t a, std::size_t b) {
      return items[a].rect.left() < items[b].rect.left();
    });
  }
  return rows;
}

void FitRows(std::vector<Placement>& items, int width) {
  std::vector<QRect> roster;
  for (Placement& item : items) {
    roster.push_back(item.rect);
    item.rect.setWidth(std::max(item.rect.width(), CaptionWidth(item.widget)));
  }
  for (const auto& row : RowsOf(items)) {
    PlaceRow(items, row, kGap, false, roster);
    if (RightOf(items, row) <= width) continue;
    PlaceRow(items, row, kGap, true, roster);
    // Still too wide: the edit boxes give up the overflow between them.
    int overflow = RightOf(items, row) - width;
    for (const std::size_t index : row) {
      if (overflow <= 0) break;
      QRect& rect = items[index].rect;
      if (!IsEditBox(items[index].widget)) continue;
      const int spare = std::max(0, rect.width() - kNarrowestEdit);
      const int taken = std::min(spare, overflow);
      rect.setWidth(rect.width() - taken);
      overflow -= taken;
    }
    PlaceRow(items, row, kGap, true, roster);
  }
}

}  // namespace tarnwick
