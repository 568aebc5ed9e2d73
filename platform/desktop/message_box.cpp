#include "platform/desktop/message_box.h"

#include <QGridLayout>
#include <QSpacerItem>

namespace tarnwick {
namespace {

// Beside its title a window manager draws the window's icon, its buttons and the
// frame's ends; a box narrower than all that gets its title cut ("B…").
constexpr int kTitleBarAllowance = 160;

void MakeRoomForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  // QMessageBox sizes itself from its layout and ignores a minimum width set on it.
  const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarAllowance;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

QMessageBox::StandardButton ShowMessageBox(const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           const QString& title, QMessageBox::Icon icon) {
  QMessageBox box(icon, title, text, buttons);
  box.setWindowModality(Qt::ApplicationModal);
  MakeRoomForTitle(box);
  const int answer = box.exec();
  return static_cast<QMessageBox::StandardButton>(answer);
}

}  // namespace tarnwick
