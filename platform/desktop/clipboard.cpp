#include "platform/desktop/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tarnwick {

QString ClipboardText() { return QGuiApplication::clipboard()->text(); }

void SetClipboardData(QMimeData* data) { QGuiApplication::clipboard()->setMimeData(data); }

}  // namespace tarnwick
