#pragma once
// The language of the window. The program's own texts are Chinese and stay the default;
// English is chosen by the usual locale variables.

#include <QTranslator>
#include <memory>

class QCoreApplication;

namespace tarnwick {

enum class UiLanguage { Chinese, English };

// English when the first entry of `language` (the value of LANGUAGE, a list such as
// "en_GB:zh_CN") names English, or, when LANGUAGE is unset or empty, when `lang` (the
// value of LANG) does: "en", "en_US.UTF-8", "en@quot". Chinese otherwise, also for "C"
// and for null values.
UiLanguage ChooseUiLanguage(const char* language, const char* lang);

// The same from this process's environment.
UiLanguage UiLanguageFromEnvironment();

// Loads the program's English texts, built into the program; null if they are missing.
std::unique_ptr<QTranslator> NewEnglishTranslator();

// Installs the translations of `language` on `application`, which owns them from then
// on. Chinese: Qt's own Chinese texts (InstallQtTranslations). English: the program's
// English texts; Qt's own texts stay English. False when a catalogue could not be
// loaded: the texts concerned stay as they are in the sources.
bool InstallUiLanguage(QCoreApplication& application, UiLanguage language);

}  // namespace tarnwick
