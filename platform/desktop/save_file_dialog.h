#pragma once
// The save-file dialog.

#include <QString>

namespace tarnwick {

// Asks for a file to write. `filter` is in Qt's form ("文本文件(*.txt);;全部文件(*)");
// `defaultSuffix` is appended to a name typed without one. Returns the chosen path,
// or "" on cancel. The dialog asks before an existing file is replaced.
QString ChooseSaveFile(const QString& title, const QString& filter, const QString& defaultSuffix);

}  // namespace tarnwick
