#include "app/app_services.h"

namespace tarnwick {

// The buttons 删除 移动 复制 打开 定位 查看 复制路径 and the list's own click events get
// their handlers here; until then the buttons do nothing.
void AttachFileOperations(AppServices&) {}

}  // namespace tarnwick
