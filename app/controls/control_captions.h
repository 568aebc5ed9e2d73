#pragma once
// Captions of the main window's controls in the window's language. The sources hold
// them in Chinese, marked QT_TRANSLATE_NOOP("Controls", …). A check box or radio button
// also keeps its Chinese caption: the settings file stores each flag under it, so the
// file stays the same whichever language wrote it.

#include <QString>
#include <string>

class QAbstractButton;

namespace tarnwick {

// The translation of `source`, a caption of the "Controls" context; `source` itself
// when it has none (as in the Chinese window).
QString ControlCaption(const char* source);

// Shows the translation of `source` on `button` and keeps `source` as its Chinese caption.
void SetControlCaption(QAbstractButton* button, const char* source);

// The Chinese caption last given to `button` by SetControlCaption, as UTF-8.
std::string ChineseCaption(const QAbstractButton* button);

}  // namespace tarnwick
