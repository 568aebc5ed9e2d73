// Qt's own texts read in Chinese once its translations are installed: the buttons of
// message boxes, the folder and save dialogs and the replace question. And the name
// and icon by which the desktop knows the program.

#include "app/desktop_identity.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/language/qt_translations.h"

using namespace tarnwick;

class DesktopIdentityTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(InstallQtTranslations(*QCoreApplication::instance())); }

  void messageBoxButtonsAreChinese() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Brellin："), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    const struct {
      QMessageBox::StandardButton button;
      const char* text;
    } cases[] = {{QMessageBox::Yes, "是(&Y)"},
                 {QMessageBox::No, "否(&N)"},
                 {QMessageBox::Ok, "确定"},
                 {QMessageBox::Cancel, "取消"}};
    for (const auto& c : cases) QCOMPARE(box.button(c.button)->text(), QString::fromUtf8(c.text));
  }

  void fileDialogsAreChinese() {
    QFileDialog save;
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    const auto* buttons = save.findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Save)->text(), QString::fromUtf8("保存(&S)"));
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("取消"));

    QFileDialog folder;
    folder.setOption(QFileDialog::DontUseNativeDialog);
    folder.setFileMode(QFileDialog::Directory);
    folder.setOption(QFileDialog::ShowDirsOnly);
    const auto* lookIn = folder.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    QVERIFY(lookIn);
    QCOMPARE(lookIn->text(), QString::fromUtf8("查找范围："));

    // The question the save dialog asks before it overwrites a file.
    const QString replace = QFileDialog::tr("%1 already exists.\nDo you want to replace it?");
    QVERIFY2(replace.contains(QString::fromUtf8("替换")), qPrintable(replace));
  }

  void desktopKnowsTheProgramByItsEntryAndIcon() {
    SetDesktopIdentity(*qApp);
    QCOMPARE(QGuiApplication::desktopFileName(), QString::fromUtf8(kDesktopId));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(TARNWICK_VERSION));
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    for (const int size : {16, 32, 48, 256}) QVERIFY(sizes.contains(QSize(size, size)));
    QVERIFY(!QApplication::windowIcon().pixmap(48).isNull());
  }
};

QTEST_MAIN(DesktopIdentityTest)
#include "desktop_identity_test.moc"
