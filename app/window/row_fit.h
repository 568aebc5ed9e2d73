#pragma once
// Fitting the controls of one container to their captions. The window's controls are
// placed where the roster puts them; a caption that needs more room than the roster
// gives (English, another style or font) widens its control, and the controls after it
// in its row move right. A row that then no longer fits in its container closes its
// gaps and narrows its edit boxes.

#include <QRect>
#include <vector>

class QWidget;

namespace tarnwick {

struct Placement {
  QWidget* widget;
  QRect rect;  // relative to the container
};

// The controls of `items` in rows: controls whose heights overlap, directly or through
// a third, share a row. Each row lists indexes into `items`, left to right; the rows
// come top to bottom.
std::vector<std::vector<std::size_t>> RowsOf(const std::vector<Placement>& items);

// Widens each control to its CaptionWidth, moves the controls right of it clear of it,
// and keeps every row within `width` (the container's inner width) where gaps and edit
// boxes allow. The tops and heights stay.
void FitRows(std::vector<Placement>& items, int width);

}  // namespace tarnwick
