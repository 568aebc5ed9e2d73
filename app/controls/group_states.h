#pragma once
// The enable rules of the option controls and the unit captions of the length filter.

class QWidget;

namespace tarnwick {

// Disables each filter group's controls while its title box is not ticked, and the
// duplicate options (with their title box) while `jobRunning` (a filter job runs);
// enables the rest.
void ApplyGroupStates(QWidget* window, bool jobRunning);

// Captions of the unit buttons for the chosen measure ("B".."TB" for the file size,
// "个".."万" for characters); the two strip options are enabled only for the character
// measure, and only when that radio button itself is enabled.
void ApplyLengthUnits(QWidget* window);

}  // namespace tarnwick
