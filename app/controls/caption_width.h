#pragma once
// How wide a control must be for its caption to show whole, in the window's font and
// style: the test the layout keeps every control to.

#include <QStringList>

class QWidget;

namespace tarnwick {

// The dynamic property that lists every caption a control may show (the unit buttons
// change theirs with the measure, the start button with the job); the control is kept
// wide enough for the widest. Without it the control's present caption counts.
inline constexpr const char* kCaptionsToFitProperty = "captionsToFit";

// The width `control` needs to show each of its captions whole: a check box or radio
// button its indicator and text, a push button its text inside its frame, a label its
// text, a drop-down list its widest item beside the arrow. 0 for a control without a
// caption (edit boxes, panels, pictures), whose width is the layout's to choose.
int CaptionWidth(const QWidget* control);

}  // namespace tarnwick
