// The folder chooser. Qt's dialog listed no folder whose name is not UTF-8 (旧目录 in
// GBK, from an old archive) and refused its typed path; the program's own lists it
// decoded, takes it by a click or by its typed path, and gives its bytes back whole, to
// the filter job and to the move and copy destinations alike.

#include "platform/desktop/folder_chooser.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/controls/control_roster.h"
#include "app/dialogs/folder_chooser_dialog.h"
#include "window_fixture.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

const std::string kOldFolder = "\xbe\xc9\xc4\xbf\xc2\xbc";  // 旧目录 in GBK

QStringList ItemTexts(QListWidget* list) {
  QStringList texts;
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
  texts.sort();
  return texts;
}

// Types `text` as keys would, Chinese characters included.
void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void Select(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
  QVERIFY(items.size() == 1);
  list->setCurrentItem(items.first());
}

}  // namespace

class FolderChooserTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::string root_;

  QString Root() const { return QFile::decodeName(QByteArray::fromStdString(root_)); }

 private slots:
  void initTestCase() {
    root_ = QFile::encodeName(dir_.path()).toStdString();
    for (const std::string& name :
         {kOldFolder, std::string("plain"), std::string(".hidden"), kOldFolder + "/inner"})
      std::filesystem::create_directories(root_ + "/" + name);
    WriteRawFile(root_ + "/" + kOldFolder + "/old.txt", "old");
    WriteRawFile(root_ + "/file.txt", "not a folder");
  }

  void cleanupTestCase() {
    // By bytes: QTemporaryDir cannot remove names that are not UTF-8.
    std::filesystem::remove_all(root_);
  }

  void aGbkFolderIsListedDecodedAndChosenByAClick() {
    FolderChooserDialog dialog(Root(), QStringLiteral("选择一个目录"));
    QCOMPARE(ItemTexts(dialog.List()), Texts({"plain", "旧目录"}));
    Select(dialog.List(), QStringLiteral("旧目录"));
    auto* pathBox = Control<QLineEdit>(&dialog, "编辑框目录");
    QCOMPARE(pathBox->text(), Root() + QStringLiteral("/旧目录"));
    auto* choose = Control<QPushButton>(&dialog, "按钮选择");
    QVERIFY(choose->isEnabled());
    choose->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(*dialog.Chosen(), root_ + "/" + kOldFolder);
    QCOMPARE(*FolderOnDisk(FolderAnswerText(*dialog.Chosen())), root_ + "/" + kOldFolder);
  }

  void aTypedPathWithTheDecodedNameIsAcceptedAndAWrongOneIsNamed() {
    FolderChooserDialog dialog(Root(), QStringLiteral("选择一个目录"));
    auto* pathBox = Control<QLineEdit>(&dialog, "编辑框目录");
    auto* choose = Control<QPushButton>(&dialog, "按钮选择");
    auto* notice = Control<QLabel>(&dialog, "标签目录提示");
    pathBox->clear();
    Type(pathBox, Root() + QStringLiteral("/没有"));
    QVERIFY(!choose->isEnabled());
    QCOMPARE(notice->text(), QStringLiteral("目录未找到"));
    pathBox->clear();
    Type(pathBox, Root() + QStringLiteral("/旧目录/inner"));
    QVERIFY(choose->isEnabled());
    QCOMPARE(notice->text(), QString());
    QTest::keyClick(pathBox, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(*dialog.Chosen(), root_ + "/" + kOldFolder + "/inner");
  }

  void aDoubleClickEntersAFolderAndUpComesBack() {
    FolderChooserDialog dialog(Root(), QStringLiteral("选择一个目录"));
    Select(dialog.List(), QStringLiteral("旧目录"));
    QTest::keyClick(dialog.List(), Qt::Key_Return);
    QCOMPARE(dialog.Folder(), root_ + "/" + kOldFolder);
    QCOMPARE(ItemTexts(dialog.List()), Texts({"inner"}));
    Control<QPushButton>(&dialog, "按钮上一级")->click();
    QCOMPARE(dialog.Folder(), root_);
    // Nothing selected: the folder listed is the one chosen.
    Control<QPushButton>(&dialog, "按钮选择")->click();
    QCOMPARE(*dialog.Chosen(), root_);
  }

  void aNewFolderIsMadeAndSelected() {
    FolderChooserDialog dialog(Root(), QStringLiteral("选择一个目录"));
    QVERIFY(dialog.CreateFolder(QStringLiteral("新的")));
    QCOMPARE(dialog.List()->currentItem()->text(), QStringLiteral("新的"));
    QVERIFY(QDir(Root() + QStringLiteral("/新的")).exists());
    QVERIFY(!dialog.CreateFolder(QStringLiteral("新的")));
    QVERIFY(!dialog.CreateFolder(QStringLiteral("a/b")));
    QDir(Root() + QStringLiteral("/新的")).removeRecursively();
  }

  // The answer's text carries bytes that are not UTF-8 and nothing else: a character
  // beyond the Basic Multilingual Plane, whose second half lies among the carriers, is
  // a character.
  void theAnswerCarriesExactlyTheBytesOfThePath() {
    for (const std::string& path : {root_ + "/" + kOldFolder, root_ + "/plain"}) {
      const QString answer = FolderAnswerText(path);
      QCOMPARE(*FolderOnDisk(answer), path);
    }
    QCOMPARE(FolderAnswerText(root_ + "/plain"), Root() + QStringLiteral("/plain"));
    const QString supplementary = QString::fromUcs4(U"\U00010080");  // D800 DC80
    QCOMPARE(FolderAnswerText(supplementary.toStdString()), supplementary);
    QVERIFY(!FolderOnDisk(FolderAnswerText(root_ + "/\xff\xfe")));
  }

  // The filter job's chooser and the copy's, as a user works them: the GBK folder is
  // clicked and chosen, and the job walks it; a folder below it is typed by its decoded
  // path, and the copy goes there.
  void theJobAndTheCopyGoWhereTheDialogsChoseByteForByte() {
    QTemporaryDir settings;
    ScriptedUser user;
    WindowPlatform platform = user.Platform();
    std::function<void(FolderChooserDialog*)> operate;
    platform.chooseFolder = [&operate](const QString& initial, const QString& prompt) {
      QTimer::singleShot(0, [&operate] {
        if (auto* dialog = qobject_cast<FolderChooserDialog*>(QApplication::activeModalWidget()))
          operate(dialog);
      });
      return ChooseFolderDialog(initial, prompt);
    };
    MainWindow window(
        QFile::encodeName(settings.filePath(QStringLiteral("Tarnwick.ini"))).toStdString(),
        platform);
    window.show();

    operate = [this](FolderChooserDialog* dialog) {
      dialog->Open(root_);
      Select(dialog->List(), QStringLiteral("旧目录"));
      Control<QPushButton>(dialog, "按钮选择")->click();
    };
    Control<QPushButton>(&window, control::kStartButton)->click();
    QCOMPARE(window.List().Count(), std::size_t{1});
    QCOMPARE(window.List().FullPath(0), root_ + "/" + kOldFolder + "/old.txt");
    QCOMPARE(window.Options().Text(Field::FilterFolder), root_ + "/" + kOldFolder);

    operate = [this](FolderChooserDialog* dialog) {
      auto* pathBox = Control<QLineEdit>(dialog, "编辑框目录");
      pathBox->clear();
      Type(pathBox, Root() + QStringLiteral("/旧目录/inner"));
      QTest::keyClick(pathBox, Qt::Key_Return);
    };
    window.ListView()->selectAll();
    Control<QPushButton>(&window, "按钮复制")->click();
    const std::string copied = root_ + "/" + kOldFolder + "/inner/old.txt";
    QVERIFY(std::filesystem::exists(copied));
    QCOMPARE(window.Options().Text(Field::CopyFolder), root_ + "/" + kOldFolder + "/inner/");
    std::filesystem::remove(copied);
  }
};

QTEST_MAIN(FolderChooserTest)
#include "folder_chooser_test.moc"
