#pragma once
// The locale Qt formats with in its own dialogs: the folder chooser lists each folder's
// date, the save dialog each file's size, by the system locale Qt reads from the
// environment once, while the application object is made. Under Debian's default
// LANG=C.UTF-8 the Chinese window would show "36 bytes" and "15 Jun" there; it shows
// them the Chinese way, the English window the English way. The program's own
// environment, which the programs it starts inherit, stays the user's.

#include <QByteArray>
#include <optional>

#include "app/language/ui_language.h"

namespace tarnwick {

class QtFormattingLocale {
 public:
  // Before the QApplication is made: Qt will read a locale of `language` (zh_CN,
  // en_US) unless the environment already names one of that language.
  explicit QtFormattingLocale(UiLanguage language);
  // Once the QApplication is made and Qt has read it: the environment and the C
  // library's locale are the user's again.
  void Restore();

 private:
  std::optional<QByteArray> saved_;  // LC_ALL as it was (nullopt: unset), while replaced
  bool replaced_ = false;
};

}  // namespace tarnwick
