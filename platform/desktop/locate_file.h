#pragma once
// Showing a file selected in the desktop's file manager.

#include <string>

namespace tarnwick {

// Asks the file manager (org.freedesktop.FileManager1 on the session bus) to open the
// file's folder with the file selected. When no file manager answers, opens the
// containing folder with the desktop's associated program instead.
void ShowInFileManager(const std::string& path);

}  // namespace tarnwick
