#pragma once
// Plain text on the system clipboard.

#include <QString>

namespace tarnwick {

// The clipboard's plain text; "" when it holds no text.
QString ClipboardText();
void SetClipboardText(const QString& text);

}  // namespace tarnwick
