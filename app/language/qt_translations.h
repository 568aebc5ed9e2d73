#pragma once
// Qt's own texts in the program's language. The program speaks Chinese, so the buttons
// of message boxes ("是", "否", "确定", "取消"), the folder and save dialogs and their
// "replace the file?" question must too, not Qt's built-in English.

class QCoreApplication;

namespace tarnwick {

// Installs Qt's Chinese translations (qtbase_zh_CN from Qt's translations folder, and
// the program's own supplement of the texts that catalogue lacks) on `application`,
// which owns them from then on, and makes Chinese Qt's default locale. False when Qt's
// translations are not installed; Qt's texts then stay English but for the supplement.
bool InstallQtTranslations(QCoreApplication& application);

}  // namespace tarnwick
