// Open, locate, view and copy paths from the window.

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <memory>

#include "operations_host.h"
#include "platform/desktop/open_file.h"
#include "platform/iconv_converter.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

void AddNamed(OperationsHost& host, std::initializer_list<const char*> names) {
  for (const char* name : names) host.Add(name, name);
}

void ClickRow(OperationsHost& host, int row) {
  QTableView* view = host.ListView();
  const QRect cell = view->visualRect(view->model()->index(row, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
  QCoreApplication::processEvents();
}

}  // namespace

class ShortOperationsTest : public QObject {
  Q_OBJECT

 private slots:
  void openAndLocateAskOnlyForSeveralFilesAndActOnEachInOrder() {
    OperationsHost host;
    AddNamed(host, {"a.txt", "b.txt", "c.txt"});
    host.SelectRows({1});
    host.Button("按钮打开")->click();
    QCOMPARE(host.messages, QStringList());
    QCOMPARE(host.opened, std::vector<std::string>{host.Path("b.txt")});

    // The button reads 定位中 / 打开中 while the files are handed on.
    QStringList captions;
    host.whileWaiting = [&] {
      captions << host.Button("按钮打开")->text() + host.Button("按钮定位")->text();
    };
    host.SelectRows({2, 0});
    host.Button("按钮定位")->click();
    QCOMPARE(host.boxes,
             QList{Information(QStringLiteral("当前选择了 2 个文件，确定要将它们都定位到目录吗？"),
                               QMessageBox::Ok | QMessageBox::Cancel)});
    QCOMPARE(host.located, (std::vector<std::string>{host.Path("a.txt"), host.Path("c.txt")}));
    QCOMPARE(host.Button("按钮定位")->text(), QStringLiteral("定位"));
    QCOMPARE(captions, QStringList(2, QStringLiteral("打开定位中")));

    host.answer = QMessageBox::Cancel;
    host.Button("按钮打开")->click();
    QCOMPARE(host.boxes.last(),
             Information(QStringLiteral("当前选择了 2 个文件，确定要将它们都打开吗？"),
                         QMessageBox::Ok | QMessageBox::Cancel));
    QCOMPARE(host.opened.size(), std::size_t{1});
    host.answer = QMessageBox::Ok;
    captions.clear();
    host.Button("按钮打开")->click();
    QCOMPARE(captions, QStringList(2, QStringLiteral("打开中定位")));
    QCOMPARE(host.opened.size(), std::size_t{3});

    // A double-click opens, a right-click locates.
    QTableView* view = host.ListView();
    const QPoint second = view->visualRect(view->model()->index(1, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(host.opened.back(), host.Path("b.txt"));
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, second,
                                 view->viewport()->mapToGlobal(second));
    QCoreApplication::sendEvent(view->viewport(), &rightClick);
    QCOMPARE(host.located.back(), host.Path("b.txt"));
  }

  void openAndLocateGetTheRawBytesOfANameThatIsNotUtf8() {
    OperationsHost host;
    host.Add("\xb1\xa8.txt", "gbk");
    const std::string path = host.Path("\xb1\xa8.txt");
    host.SelectRows({0});
    host.Button("按钮打开")->click();
    host.Button("按钮定位")->click();
    QCOMPARE(host.opened, std::vector<std::string>{path});
    QCOMPARE(host.located, std::vector<std::string>{path});
    const QUrl url = FileUrl(path);
    QCOMPARE(
        url.toEncoded(),
        "file://" + QByteArray::fromStdString(host.Path("")).toPercentEncoding("/") + "%B1%A8.txt");
    QCOMPARE(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString(),
             path);
  }

  void theViewerShowsTheTopmostSelectedFileAndFollowsTheCurrentRow() {
    OperationsHost host;
    AddNamed(host, {"first.txt", "second.txt", "third.txt"});
    host.SelectRows({2, 1});
    host.Button("按钮查看")->click();
    ViewerWindow* viewer = host.Operations().Viewer();
    QVERIFY(viewer && viewer->isVisible() && viewer->isWindow());
    QCOMPARE(viewer->windowTitle(), QStringLiteral("(编码:ANSI) second.txt"));
    auto* edit = viewer->findChild<QPlainTextEdit*>(QStringLiteral("编辑框"));
    QCOMPARE(edit->toPlainText(), QStringLiteral("second.txt"));
    viewer->resize(700, 300);
    QCOMPARE(edit->geometry(), QRect(0, 0, 700, 300));

    ClickRow(host, 0);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("(编码:ANSI) first.txt"));
    host.Button("按钮查看")->click();
    QCOMPARE(host.findChildren<ViewerWindow*>().size(), 1);

    // A closed viewer stays closed and is not refreshed.
    viewer->close();
    ClickRow(host, 2);
    QVERIFY(!viewer->isVisible());
    QCOMPARE(viewer->windowTitle(), QStringLiteral("(编码:ANSI) first.txt"));
  }

  void theViewerTitleNamesEachEncoding() {
    const struct {
      const char* name;
      QByteArray bytes;
      const char* encoding;
    } cases[] = {
        {"gbk.txt", QByteArray("\xd6\xd0\xce\xc4"), "ANSI"},
        {"utf8.txt", QByteArray("\xe4\xb8\xad\xe6\x96\x87"), "UTF-8"},
        {"le.txt", QByteArray("\xff\xfe\x2d\x4e\x87\x65", 6), "Unicode"},
        {"be.txt", QByteArray("\xfe\xff\x4e\x2d\x65\x87", 6), "Unicode BE"},
        {"big5.htm", QByteArray("<head><meta charset=big5></head>\xa4\xa4\xa4\xe5"), "Big5"},
        {"hkscs.htm", QByteArray("<head><meta charset='Big5-HKSCS'></head>\xa4\xa4\xa4\xe5"),
         "Big5-HKSCS"},
    };
    OperationsHost host;
    for (const auto& c : cases) host.Add(c.name, c.bytes.toStdString());
    host.AddRow(host.Path("missing.txt"));
    host.Button("按钮查看")->click();
    ViewerWindow* viewer = host.Operations().Viewer();
    auto* edit = viewer->findChild<QPlainTextEdit*>(QStringLiteral("编辑框"));
    for (int row = 0; row < static_cast<int>(std::size(cases)); ++row) {
      host.SelectRows({row});
      host.Operations().RefreshViewer();
      QCOMPARE(viewer->windowTitle(), QStringLiteral("(编码:%1) %2")
                                          .arg(QString::fromUtf8(cases[row].encoding),
                                               QString::fromUtf8(cases[row].name)));
      QVERIFY2(edit->toPlainText().endsWith(QStringLiteral("中文")), cases[row].name);
    }
    host.SelectRows({static_cast<int>(std::size(cases))});
    host.Operations().RefreshViewer();
    QCOMPARE(viewer->windowTitle(), QStringLiteral("(编码:ANSI) missing.txt"));
    QCOMPARE(edit->toPlainText(), QString());
  }

  // With 猜测编码 ticked the viewer reads a Big5 text without a declaration as Big5 and
  // names the guess in its title; unticked, as GBK bytes ("ANSI"), as it always did.
  void theViewerNamesAGuessedEncoding() {
    OperationsHost host;
    const QByteArray big5 =
        QStringLiteral(
            "根據合同約定，對方應在收到發票後三十日內付款。財務部門已經核對了全部發票，"
            "並將付款申請提交給總經理審批。請各部門注意保管好相關文件和檔案。")
            .toUtf8();
    host.Add("big5.txt", platform::ConvertStrict(big5.toStdString(), "UTF-8", "BIG5").value());
    host.SelectRows({0});
    host.Button("按钮查看")->click();
    ViewerWindow* viewer = host.Operations().Viewer();
    QCOMPARE(viewer->windowTitle(), QStringLiteral("(编码:ANSI) big5.txt"));
    host.Options().SetChecked(Check::GuessEncodings, true);
    host.Operations().RefreshViewer();
    QCOMPARE(viewer->windowTitle(), QStringLiteral("(编码:Big5) big5.txt"));
    auto* edit = viewer->findChild<QPlainTextEdit*>(QStringLiteral("编辑框"));
    QVERIFY(edit->toPlainText().contains(QStringLiteral("總經理審批")));
  }

  void copyPathsPutsTheSelectedPathsOnTheClipboardByteForByte() {
    OperationsHost host;
    AddNamed(host, {"一.txt", "二.txt", "三 3.txt", "四.txt", "五.txt"});
    host.SelectRows({4, 1});
    QStringList captions;
    host.whileRunning = [&] { captions << host.Button("按钮复制路径")->text(); };
    host.Button("按钮复制路径")->click();
    QCOMPARE(QGuiApplication::clipboard()->text().toUtf8().toStdString(),
             host.Path("二.txt") + "\r\n" + host.Path("五.txt"));
    QCOMPARE(captions, QStringList(2, QStringLiteral("复制中")));
    QCOMPARE(host.Button("按钮复制路径")->text(), QStringLiteral("复制路径"));
    QString captionWhileWaiting;
    host.whileWaiting = [&] { captionWhileWaiting = host.Button("按钮复制路径")->text(); };
    host.Button("按钮复制路径")->click();
    QCOMPARE(captionWhileWaiting, QStringLiteral("复制完成"));

    host.SelectRows({});
    host.Button("按钮复制路径")->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
  }

  // The keys of file managers act on the list while it has the focus: Delete to the
  // trash, Shift+Delete for good (each with its question), Enter opens, Ctrl+C copies the
  // paths. In another control they do that control's own work and touch no file.
  void theKeysOfFileManagersWorkInTheList() {
    OperationsHost host;
    AddNamed(host, {"a.txt", "b.txt", "c.txt"});
    host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    QTableView* view = host.ListView();
    std::vector<std::string> trashed;
    host.trash = [&](const std::string& path) {
      trashed.push_back(path);
      return ::unlink(path.c_str()) == 0;
    };

    auto* mask = host.findChild<QLineEdit*>(QStringLiteral("编辑框过滤"));
    mask->setFocus();
    host.SelectRows({0});
    QTest::keyClick(mask, Qt::Key_Delete);
    QTest::keyClick(mask, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(mask, Qt::Key_Return);
    QCOMPARE(host.messages, QStringList());
    QVERIFY(host.opened.empty() && trashed.empty());

    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(host.opened, std::vector<std::string>{host.Path("a.txt")});
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->urls(),
             QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(host.Path("a.txt")))});

    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(host.messages, QStringList{QStringLiteral("确定要将选择的 1 个文件移到回收站吗？")});
    QCOMPARE(trashed, std::vector<std::string>{host.Path("a.txt")});

    host.SelectRows({0});
    QTest::keyClick(view, Qt::Key_Delete, Qt::ShiftModifier);
    // The question speaks of the key that was pressed, not of Ctrl and the button.
    QCOMPARE(host.messages.last(),
             QStringLiteral("确定要彻底删除选择的 1 个文件吗？\n\n如果需要删除到回收站，"
                            "请改按Delete键（不按Shift）"));
    QVERIFY(!Exists(host.Path("b.txt")));
    QCOMPARE(trashed.size(), std::size_t{1});
    QCOMPARE(host.Paths(), std::vector<std::string>{host.Path("c.txt")});
  }

  // Rows dragged out of the list carry text/uri-list with the raw bytes of each file's
  // path, once per row whatever cells the drag holds.
  void rowsDraggedOutCarryTheirFilesAsUris() {
    OperationsHost host;
    host.Add("\xb1\xa8\xb8\xe6.txt", "gbk");
    host.Add("b.txt", "b");
    QAbstractItemModel* model = host.ListView()->model();
    const std::unique_ptr<QMimeData> data(
        model->mimeData({model->index(1, 0), model->index(0, 3), model->index(1, 4)}));
    const QByteArray folder =
        "file://" + QByteArray::fromStdString(host.Path("")).toPercentEncoding("/");
    QCOMPARE(data->data(QStringLiteral("text/uri-list")),
             folder + "%B1%A8%B8%E6.txt\r\n" + folder + "b.txt\r\n");
  }

  // A GBK name shows decoded in the viewer's title and in the copied text, while the
  // copied text/uri-list carries its raw bytes, so pasting it reaches the file.
  void aGbkNameShowsDecodedAndItsCopiedUriKeepsTheBytes() {
    OperationsHost host;
    const std::string gbkName = "\xb1\xa8\xb8\xe6.txt";  // 报告.txt in GBK
    host.Add(gbkName, "gbk");
    host.Add("b.txt", "b");
    host.SelectRows({0, 1});
    host.Button("按钮查看")->click();
    QCOMPARE(host.Operations().Viewer()->windowTitle(), QStringLiteral("(编码:ANSI) 报告.txt"));

    host.Button("按钮复制路径")->click();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    const QString folder = QString::fromStdString(host.Path(""));
    QCOMPARE(copied->text(),
             folder + QStringLiteral("报告.txt\r\n") + folder + QStringLiteral("b.txt"));
    const QByteArray encodedFolder =
        "file://" + QByteArray::fromStdString(host.Path("")).toPercentEncoding("/");
    QCOMPARE(copied->data(QStringLiteral("text/uri-list")),
             encodedFolder + "%B1%A8%B8%E6.txt\r\n" + encodedFolder + "b.txt\r\n");
  }
};

QTEST_MAIN(ShortOperationsTest)
#include "short_operations_test.moc"
