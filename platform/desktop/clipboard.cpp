#include "platform/desktop/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tarnwick {

QString ClipboardText() { return QGuiApplication::clipboard()->text(); }

void SetClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

}  // namespace tarnwick
