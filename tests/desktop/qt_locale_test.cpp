// Qt's dialogs in the window's language under Debian's default LANG=C.UTF-8: the folder
// chooser's list shows sizes, dates and the folder type the way the program's language
// writes them, while the program's environment and C library locale stay the user's.
// Run once per language (ctest sets LANG and LANGUAGE); the program's start-up is
// repeated here, as main() does it.

#include "app/language/qt_locale.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <string>

#include "app/language/ui_language.h"

using namespace tarnwick;

namespace {

UiLanguage language = UiLanguage::Chinese;
std::string userCLocale;  // what the user's environment gives the C library
QByteArray userLcAll;     // LC_ALL as the user set it
bool userLcAllSet = false;

}  // namespace

class QtLocaleTest : public QObject {
  Q_OBJECT

 private slots:
  void theProgramsEnvironmentIsTheUsers() {
    QCOMPARE(qEnvironmentVariableIsSet("LC_ALL"), userLcAllSet);
    QCOMPARE(qgetenv("LC_ALL"), userLcAll);
    QCOMPARE(std::string(std::setlocale(LC_ALL, nullptr)), userCLocale);
  }

  void sizesAndDatesReadInTheWindowsLanguage() {
    const bool chinese = language == UiLanguage::Chinese;
    const QLocale system = QLocale::system();
    QCOMPARE(system.language(), chinese ? QLocale::Chinese : QLocale::English);
    QCOMPARE(system.formattedDataSize(36),
             chinese ? QStringLiteral("36 字节") : QStringLiteral("36 bytes"));
    const QString june = system.toString(QDate(2024, 6, 15), QLocale::LongFormat);
    QVERIFY2(june.contains(chinese ? QStringLiteral("6月") : QStringLiteral("June")),
             qPrintable(june));
  }

  // What the folder chooser lists: the type and date columns of Qt's file system model.
  void theFolderChoosersColumnsReadInTheWindowsLanguage() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("档案")));
    QFileSystemModel model;
    const QModelIndex root = model.setRootPath(dir.path());
    QTRY_COMPARE(model.rowCount(root), 1);
    const QModelIndex folder = model.index(0, 0, root);
    const QString type = model.index(0, 2, root).data().toString();
    QCOMPARE(type,
             language == UiLanguage::Chinese ? QStringLiteral("文件夹") : QStringLiteral("Folder"));
    const QDateTime changed = model.lastModified(folder);
    QCOMPARE(model.index(0, 3, root).data().toString(),
             QLocale(language == UiLanguage::Chinese ? QLocale::Chinese : QLocale::English,
                     language == UiLanguage::Chinese ? QLocale::China : QLocale::UnitedStates)
                 .toString(changed, QLocale::ShortFormat));
  }
};

int main(int argc, char* argv[]) {
  userLcAllSet = qEnvironmentVariableIsSet("LC_ALL");
  userLcAll = qgetenv("LC_ALL");
  userCLocale = std::setlocale(LC_ALL, "");
  std::setlocale(LC_ALL, "C");
  language = UiLanguageFromEnvironment();
  QtFormattingLocale formatting(language);
  QApplication application(argc, argv);
  formatting.Restore();
  if (!InstallUiLanguage(application, language)) return 1;
  QtLocaleTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "qt_locale_test.moc"
