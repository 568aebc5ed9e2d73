#include "platform/desktop/folder_chooser.h"

#include <QFileDialog>

namespace tarnwick {

QString ChooseFolderDialog(const QString& initialFolder, const QString& prompt) {
  return QFileDialog::getExistingDirectory(nullptr, prompt, initialFolder,
                                           QFileDialog::ShowDirsOnly);
}

}  // namespace tarnwick
