#pragma once
// Creates the controls of the roster inside the main window.

class QWidget;

namespace tarnwick {

// Creates every control of ControlRoster() under `window`, each with its object name,
// caption, initial state and geometry, and joins the radio buttons of each option
// group into one exclusive group. The result list, status bar and timer are made by
// the window itself.
void BuildControls(QWidget* window);

}  // namespace tarnwick
