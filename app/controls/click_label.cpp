#include "app/controls/click_label.h"

#include <QMouseEvent>

namespace tarnwick {

ClickLabel::ClickLabel(Trigger trigger, QWidget* parent) : QLabel(parent), trigger_(trigger) {
  setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
  event->accept();
  if (trigger_ == Trigger::LeftPress) {
    emit activated();
    return;
  }
  pressedInside_ = true;
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QLabel::mouseReleaseEvent(event);
  event->accept();
  const bool wasPressed = pressedInside_;
  pressedInside_ = false;
  if (trigger_ == Trigger::Click && wasPressed && rect().contains(event->position().toPoint()))
    emit activated();
}

}  // namespace tarnwick
