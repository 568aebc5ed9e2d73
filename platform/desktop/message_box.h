#pragma once
// The program's message box: application-modal, no owner window.

#include <QMessageBox>
#include <QString>

namespace tarnwick {

// Shows `text` and waits for an answer; returns the button the user pressed
// (QMessageBox::NoButton when the box was closed by other means).
QMessageBox::StandardButton ShowMessageBox(const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           const QString& title,
                                           QMessageBox::Icon icon = QMessageBox::Information);

}  // namespace tarnwick
