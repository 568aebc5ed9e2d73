#pragma once
// Fits the main window's controls to its size: the banner, the list, the walk panel
// below it, the duplicate group, the progress bar and the status bar follow the
// window's width and height; the option groups on the left never move.

class QSize;
class QWidget;

namespace tarnwick {

void LayoutMainWindow(QWidget* window);

// The smallest size at which LayoutMainWindow keeps every control whole and clear of
// the others: the option groups, the operation buttons and the walk panel's controls
// are not resized, so the window must hold them, a few rows of the list and the status
// bar.
QSize MinimumWindowSize(const QWidget* window);

}  // namespace tarnwick
