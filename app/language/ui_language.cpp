#include "app/language/ui_language.h"

#include <QCoreApplication>
#include <cstdlib>
#include <string_view>

#include "app/language/qt_translations.h"

namespace tarnwick {
namespace {

// "en" followed by the end or by what may follow a language code in a locale name.
bool NamesEnglish(std::string_view locale) {
  if (!locale.starts_with("en")) return false;
  return locale.size() == 2 || std::string_view("_.@-").find(locale[2]) != std::string_view::npos;
}

std::string_view FirstEntry(const char* list) {
  const std::string_view entries(list);
  return entries.substr(0, entries.find(':'));
}

}  // namespace

UiLanguage ChooseUiLanguage(const char* language, const char* lang) {
  if (language && *language) {
    return NamesEnglish(FirstEntry(language)) ? UiLanguage::English : UiLanguage::Chinese;
  }
  return lang && NamesEnglish(lang) ? UiLanguage::English : UiLanguage::Chinese;
}

UiLanguage UiLanguageFromEnvironment() {
  return ChooseUiLanguage(std::getenv("LANGUAGE"), std::getenv("LANG"));
}

std::unique_ptr<QTranslator> NewEnglishTranslator() {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral(":/i18n/tarnwick_en.qm"))) return nullptr;
  return translator;
}

bool InstallUiLanguage(QCoreApplication& application, UiLanguage language) {
  if (language == UiLanguage::Chinese) return InstallQtTranslations(application);
  std::unique_ptr<QTranslator> english = NewEnglishTranslator();
  if (!english || !QCoreApplication::installTranslator(english.get())) return false;
  english.release()->setParent(&application);
  return true;
}

}  // namespace tarnwick
