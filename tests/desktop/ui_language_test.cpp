// The language the environment chooses, and what installing English brings: the
// program's texts in English, Qt's own texts left in English too (Qt's Chinese
// catalogue stays out).

#include "app/language/ui_language.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/controls/control_captions.h"

using namespace tarnwick;

class UiLanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void languageComesFromLanguageElseLang() {
    const struct {
      const char* language;
      const char* lang;
      UiLanguage expected;
    } cases[] = {
        {nullptr, nullptr, UiLanguage::Chinese},
        {nullptr, "en_US.UTF-8", UiLanguage::English},
        {nullptr, "en", UiLanguage::English},
        {nullptr, "en@quot", UiLanguage::English},
        {nullptr, "zh_CN.UTF-8", UiLanguage::Chinese},
        {nullptr, "C.UTF-8", UiLanguage::Chinese},
        {nullptr, "eo.UTF-8", UiLanguage::Chinese},  // Esperanto is not English
        {nullptr, "enx", UiLanguage::Chinese},
        {"", "en_GB.UTF-8", UiLanguage::English},  // an empty LANGUAGE is unset
        {"en_GB:zh_CN", "zh_CN.UTF-8", UiLanguage::English},
        {"zh_CN:en", "en_US.UTF-8", UiLanguage::Chinese},  // only the first entry counts
        {"de_DE", "en_US.UTF-8", UiLanguage::Chinese},
        {"en", nullptr, UiLanguage::English},
    };
    for (const auto& c : cases) {
      QVERIFY2(ChooseUiLanguage(c.language, c.lang) == c.expected,
               qPrintable(QStringLiteral("LANGUAGE=%1 LANG=%2")
                              .arg(QString::fromUtf8(c.language ? c.language : "(unset)"),
                                   QString::fromUtf8(c.lang ? c.lang : "(unset)"))));
    }
  }

  void englishLeavesQtsOwnTextsEnglish() {
    QVERIFY(InstallUiLanguage(*QCoreApplication::instance(), UiLanguage::English));
    QCOMPARE(ControlCaption("全选"), QStringLiteral("Select all"));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Brellin"), QStringLiteral("?"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Cancel"));
  }
};

QTEST_MAIN(UiLanguageTest)
#include "ui_language_test.moc"
