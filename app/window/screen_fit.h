#pragma once
// Where the main window opens: at its own placement when the screen has room for it,
// else inside the screen's available area (the part panels and docks leave free).

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace tarnwick {

// The window's placement `wanted` (its client area) when it fits in `available` with
// the window frame `frame` around it; otherwise as much of it as fits, moved inside
// `available`, but never smaller than `minimum` (the window then keeps its top left
// corner in the area).
QRect OpeningGeometry(const QRect& wanted, const QRect& available, const QMargins& frame,
                      const QSize& minimum);

// Places `window` by OpeningGeometry on the screen that holds its top left corner, with
// the frame the window system gives it, or, before it has one, the frame a title bar
// and borders of the window's style would take.
void FitOnScreen(QWidget* window, const QRect& wanted);

}  // namespace tarnwick
