#pragma once
// The folder browser of the desktop: a directory dialog that starts at a given folder,
// and the way back from its answer to the folder's bytes on disk.

#include <QString>
#include <optional>
#include <string>

namespace tarnwick {

// Asks for a folder, starting at `initialFolder` (ignored when it does not exist) with
// `prompt` as the dialog's caption. Returns the chosen folder, or "" on cancel.
QString ChooseFolderDialog(const QString& initialFolder, const QString& prompt);

// The raw path bytes of the folder the dialog answered with. Qt shows a name that is
// not UTF-8 with replacement characters, and those no longer name the folder: each part
// of the path that does not exist as written is matched against the entries of the
// folder above it, decoded as Qt decodes them. Nullopt when a part matches no entry or
// more than one (two names that differ only in bytes Qt cannot show).
std::optional<std::string> FolderOnDisk(const QString& chosen);

// Where the dialog starts for a remembered folder's bytes: the folder when Qt can name
// it, else the nearest folder above it that Qt can name.
QString DialogStartFolder(const std::string& folder);

}  // namespace tarnwick
