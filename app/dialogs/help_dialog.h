#pragma once

class QWidget;

// Opens the read-only help dialog "疑点说明" modally and returns when it is closed.
// A call made while the dialog is already open (a second click on a help link while
// the first dialog's event loop runs) does nothing. `mainWindow` is used only to pick
// the screen the dialog is centred on; the dialog has no owner window and may be null.
void ShowHelpDialog(QWidget* mainWindow);
