#include "app/language/qt_locale.h"

#include <QLocale>
#include <clocale>
#include <string_view>

namespace tarnwick {
namespace {

// The locale Qt takes its language from: LC_ALL, else LC_MESSAGES, else LANG.
QByteArray EnvironmentLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QByteArray value = qgetenv(name);
    if (!value.isEmpty()) return value;
  }
  return {};
}

// "zh", "zh_TW.UTF-8" and the like name the language `code`; "zhx" does not.
bool NamesLanguage(std::string_view locale, std::string_view code) {
  if (!locale.starts_with(code)) return false;
  return locale.size() == code.size() ||
         std::string_view("_.@-").find(locale[code.size()]) != std::string_view::npos;
}

}  // namespace

QtFormattingLocale::QtFormattingLocale(UiLanguage language) {
  const bool chinese = language == UiLanguage::Chinese;
  const QByteArray present = EnvironmentLocale();
  if (NamesLanguage(present.toStdString(), chinese ? "zh" : "en")) return;
  if (qEnvironmentVariableIsSet("LC_ALL")) saved_ = qgetenv("LC_ALL");
  qputenv("LC_ALL", chinese ? "zh_CN.UTF-8" : "en_US.UTF-8");
  replaced_ = true;
}

void QtFormattingLocale::Restore() {
  if (!replaced_) return;
  // Qt has its system locale from now on.
  QLocale::system();
  if (saved_) {
    qputenv("LC_ALL", *saved_);
  } else {
    qunsetenv("LC_ALL");
  }
  // The application object set the C library's locale from the replaced environment.
  std::setlocale(LC_ALL, "");
  replaced_ = false;
}

}  // namespace tarnwick
