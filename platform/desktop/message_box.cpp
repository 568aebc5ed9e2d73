#include "platform/desktop/message_box.h"

namespace tarnwick {

QMessageBox::StandardButton ShowMessageBox(const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           const QString& title, QMessageBox::Icon icon) {
  QMessageBox box(icon, title, text, buttons);
  box.setWindowModality(Qt::ApplicationModal);
  const int answer = box.exec();
  return static_cast<QMessageBox::StandardButton>(answer);
}

}  // namespace tarnwick
