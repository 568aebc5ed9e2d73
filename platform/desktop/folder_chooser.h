#pragma once
// The folder browser of the desktop: a directory dialog that starts at a given folder.

#include <QString>

namespace tarnwick {

// Asks for a folder, starting at `initialFolder` (ignored when it does not exist) with
// `prompt` as the dialog's caption. Returns the chosen folder, or "" on cancel.
QString ChooseFolderDialog(const QString& initialFolder, const QString& prompt);

}  // namespace tarnwick
