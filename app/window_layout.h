#pragma once
// Fits the main window's controls to its size: the banner, the list, the walk panel
// below it, the duplicate group, the progress bar and the status bar follow the
// window's width and height; the option groups on the left never move.

class QWidget;

namespace tarnwick {

void LayoutMainWindow(QWidget* window);

}  // namespace tarnwick
