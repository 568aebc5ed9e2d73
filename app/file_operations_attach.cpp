#include "app/app_services.h"
#include "app/file_operations.h"
#include "app/file_operations_platform.h"

namespace tarnwick {

// The main window's file operations use the real trash, launcher and file manager.
void AttachFileOperations(AppServices& services) {
  AttachFileOperations(services, DesktopFileOperationsPlatform());
}

}  // namespace tarnwick
