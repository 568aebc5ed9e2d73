#include "app/language/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tarnwick {

bool InstallQtTranslations(QCoreApplication& application) {
  // Dates and sizes in Qt's dialogs (the file list of the folder chooser) read the
  // Chinese way too.
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  // The few texts Debian's catalogue lacks ("Folder" in the dialogs' type column).
  auto* supplement = new QTranslator(&application);
  if (supplement->load(QStringLiteral(":/i18n/qt_supplement_zh_CN.qm"))) {
    QCoreApplication::installTranslator(supplement);
  } else {
    delete supplement;
  }
  auto* translator = new QTranslator(&application);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace tarnwick
