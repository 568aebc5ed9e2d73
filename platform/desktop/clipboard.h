#pragma once
// The system clipboard.

#include <QString>

class QMimeData;

namespace tarnwick {

// The clipboard's plain text; "" when it holds no text.
QString ClipboardText();

// Replaces the clipboard's contents with `data`; the clipboard takes ownership.
void SetClipboardData(QMimeData* data);

}  // namespace tarnwick
