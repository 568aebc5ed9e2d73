#include "app/window/window_platform.h"

#include <QCoreApplication>

#include "app/dialogs/folder_chooser_dialog.h"
#include "app/window/app_services.h"
#include "platform/desktop/keyboard_state.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/save_file_dialog.h"

namespace tarnwick {

WindowPlatform DesktopPlatform() {
  WindowPlatform platform;
  platform.showMessage = &ShowMessageBox;
  platform.chooseFolder = &ChooseFolderDialog;
  platform.chooseExportFile = [] {
    return ChooseSaveFile(QCoreApplication::translate("Messages", "将路径列表保存到文本文件："),
                          QCoreApplication::translate("Messages", "文本文件(*.txt);;全部文件(*)"),
                          QStringLiteral("txt"));
  };
  platform.isCtrlHeld = &IsCtrlHeld;
  platform.askReplace = [](const QString& text) { return AskReplaceDialog(text, MessageTitle()); };
  return platform;
}

}  // namespace tarnwick
