#pragma once
// The desktop services the main window asks the user through, gathered so tests can
// replace them: no dialog or message box then blocks, and Ctrl can be "held".

#include <QMessageBox>
#include <QString>
#include <functional>

#include "app/dialogs/replace_question.h"

namespace tarnwick {

struct WindowPlatform {
  std::function<QMessageBox::StandardButton(const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            const QString& title, QMessageBox::Icon icon)>
      showMessage;
  // Returns the chosen folder or "" on cancel.
  std::function<QString(const QString& initialFolder, const QString& prompt)> chooseFolder;
  // The file the path list is exported to, or "" on cancel.
  std::function<QString()> chooseExportFile;
  std::function<bool()> isCtrlHeld;
  // Whether a move or copy replaces a file in the destination the user did not pick.
  std::function<ReplaceAnswer(const QString& text)> askReplace;
};

// The real dialogs, message boxes and keyboard.
WindowPlatform DesktopPlatform();

}  // namespace tarnwick
