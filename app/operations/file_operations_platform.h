#pragma once
// The desktop services the file operations reach beyond the window, gathered so tests
// can hold Ctrl and see what would be opened without starting other programs.

#include <functional>
#include <string>

namespace tarnwick {

struct FileOperationsPlatform {
  // Asked of the keyboard at the moment of the call.
  std::function<bool()> isCtrlHeld;
  // Opens the file with its associated program.
  std::function<void(const std::string& path)> open;
  // Shows the file selected in the file manager.
  std::function<void(const std::string& path)> locate;
  // Moves the file into the trash; false leaves it in place.
  std::function<bool(const std::string& path)> moveToTrash;
};

// The keyboard, the desktop's programs and file manager, and the user's trash.
FileOperationsPlatform DesktopFileOperationsPlatform();

}  // namespace tarnwick
