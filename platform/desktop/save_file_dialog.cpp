#include "platform/desktop/save_file_dialog.h"

#include <QFileDialog>

namespace tarnwick {

QString ChooseSaveFile(const QString& title, const QString& filter, const QString& defaultSuffix) {
  QFileDialog dialog(nullptr, title, QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(defaultSuffix);
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

}  // namespace tarnwick
