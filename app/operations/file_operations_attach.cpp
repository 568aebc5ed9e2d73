#include "app/operations/file_operations.h"
#include "app/operations/file_operations_platform.h"
#include "app/window/app_services.h"

namespace tarnwick {

// The main window's file operations use the real trash, launcher and file manager.
void AttachFileOperations(AppServices& services) {
  AttachFileOperations(services, DesktopFileOperationsPlatform());
}

}  // namespace tarnwick
