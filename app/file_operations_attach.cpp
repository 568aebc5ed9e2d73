#include "app/app_services.h"
#include "app/file_operations.h"

namespace tarnwick {

void AttachFileOperations(AppServices& services) {
  AttachFileOperations(services, DesktopFileOperationsPlatform());
}

}  // namespace tarnwick
