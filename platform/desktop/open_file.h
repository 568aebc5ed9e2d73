#pragma once
// Opening a file or folder with the program the desktop associates with it.

#include <QUrl>
#include <string>

namespace tarnwick {

// The file URL of the raw path bytes, each byte that is not plain ASCII percent-encoded,
// so a name that is not UTF-8 reaches the other program unchanged.
QUrl FileUrl(const std::string& path);

// Asks the desktop to open `path`; false when no program could be started for it.
bool OpenWithAssociatedProgram(const std::string& path);

}  // namespace tarnwick
