#include "platform/desktop/keyboard_state.h"

#include <QGuiApplication>

namespace tarnwick {

bool IsCtrlHeld() {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

}  // namespace tarnwick
