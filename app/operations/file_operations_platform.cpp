#include "app/operations/file_operations_platform.h"

#include <ctime>

#include "platform/desktop/keyboard_state.h"
#include "platform/desktop/locate_file.h"
#include "platform/desktop/open_file.h"
#include "results/trash.h"

namespace tarnwick {

FileOperationsPlatform DesktopFileOperationsPlatform() {
  FileOperationsPlatform platform;
  platform.isCtrlHeld = &IsCtrlHeld;
  platform.open = [](const std::string& path) { OpenWithAssociatedProgram(path); };
  platform.locate = &ShowInFileManager;
  platform.moveToTrash = [](const std::string& path) {
    return MoveToTrash(path, CurrentTrashPlace(), std::time(nullptr));
  };
  return platform;
}

}  // namespace tarnwick
