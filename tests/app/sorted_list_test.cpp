// 列表框 sorted by a click on a column's header: rising, falling, back to the job's order;
// duplicate groups kept together and shaded apart; rows that come or go while sorted;
// and the operations that follow the order shown (export, copy paths) or must not be
// misled by it (delete).

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/controls/control_roster.h"
#include "app/list/result_model.h"
#include "window_fixture.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

ResultRow Row(const std::string& name, const std::string& size, const std::string& time,
              const std::string& count, const std::string& folder, std::uint32_t group = 0) {
  ResultRow row{name, size, time, count, folder};
  row.group = group;
  return row;
}

// The names the model shows, top to bottom.
QStringList Shown(const QAbstractItemModel& model, int column = 0) {
  QStringList names;
  for (int row = 0; row < model.rowCount(); ++row)
    names << model.index(row, column).data().toString();
  return names;
}

QStringList Words(const char* spaced) {
  return QString::fromUtf8(spaced).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool Shaded(const QAbstractItemModel& model, int row) {
  return model.index(row, 0).data(Qt::BackgroundRole).isValid();
}

void FillList(ResultList& list) {
  list.Append(Row("File10.txt", "1.5 KB", "2014-03-05 08:05:09", "1,0000", "/b/"));
  list.Append(Row("file2.txt", "2 MB", "2013-01-01 00:00:00", "9", "/a/"));
  list.Append(Row("报告.txt", "512 B", "2020-12-31 23:59:59", "123", "/c/"));
  list.Append(Row("a.txt", "1 KB", "2014-03-05 08:05:08", "0", "/a10/"));
}

}  // namespace

class SortedListTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

 private slots:
  // Rising, falling, the job's order again; each column by what its texts mean.
  void aHeaderClickSortsRisingThenFallingThenAsTheJobListed() {
    ResultList list;
    ResultModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    FillList(list);
    model.Flush();
    const QStringList jobOrder = Shown(model);

    const struct {
      int column;
      const char* rising;
    } expected[] = {
        {0, "a.txt file2.txt File10.txt 报告.txt"},  // digits by value, case aside
        {1, "报告.txt a.txt File10.txt file2.txt"},  // 512 B < 1 KB < 1.5 KB < 2 MB
        {2, "file2.txt a.txt File10.txt 报告.txt"},
        {3, "a.txt file2.txt 报告.txt File10.txt"},  // 0 < 9 < 123 < 1,0000
        {4, "file2.txt a.txt File10.txt 报告.txt"},  // /a/ < /a10/ < /b/ < /c/
    };
    for (const auto& [column, rising] : expected) {
      model.ClickColumn(column);
      QCOMPARE(Shown(model), Words(rising));
      QCOMPARE(model.Order()->descending, false);
      model.ClickColumn(column);
      QStringList falling = Words(rising);
      std::reverse(falling.begin(), falling.end());
      QCOMPARE(Shown(model), falling);
      model.ClickColumn(column);
      QCOMPARE(Shown(model), jobOrder);
      QVERIFY(!model.Order());
    }
    // Another column's click starts over there, rising.
    model.ClickColumn(1);
    model.ClickColumn(0);
    QCOMPARE(Shown(model), Words(expected[0].rising));
  }

  // A group stays together, placed by its first row; its rows in order among
  // themselves; every other group shaded.
  void duplicateGroupsStayTogetherAndAlternateTheirShade() {
    ResultList list;
    ResultModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    list.Append(Row("b1", "5 B", "", "0", "/x/", 1));
    list.Append(Row("a1", "5 B", "", "0", "/y/", 1));
    list.Append(Row("c2", "9 B", "", "0", "/x/", 2));
    list.Append(Row("a2", "9 B", "", "0", "/z/", 2));
    list.Append(Row("z2", "9 B", "", "0", "/a/", 2));
    list.Append(Row("m3", "7 B", "", "0", "/x/", 3));
    list.Append(Row("b3", "7 B", "", "0", "/x/", 3));
    model.Flush();
    auto shades = [&model] {
      QList<bool> shaded;
      for (int row = 0; row < model.rowCount(); ++row) shaded << Shaded(model, row);
      return shaded;
    };
    const QList<bool> twoThreeTwo{false, false, true, true, true, false, false};
    QCOMPARE(shades(), twoThreeTwo);

    model.ClickColumn(0);  // by name: group 1 (a1), then 2 (a2), then 3 (b3)
    QCOMPARE(Shown(model), Words("a1 b1 a2 c2 z2 b3 m3"));
    QCOMPARE(shades(), twoThreeTwo);
    model.ClickColumn(0);  // falling: group 2 (z2) first, then 3 (m3), then 1 (b1)
    QCOMPARE(Shown(model), Words("z2 c2 a2 m3 b3 b1 a1"));
    model.ClickColumn(4);  // by folder, then name: group 2 (/a/), 1 (/x/b1), 3 (/x/b3)
    QCOMPARE(Shown(model), Words("z2 c2 a2 b1 a1 b3 m3"));
    model.ClickColumn(1);  // by size: 5, 7, 9; equal sizes keep the job's order
    QCOMPARE(Shown(model), Words("b1 a1 m3 b3 c2 a2 z2"));
    QCOMPARE(shades(), (QList<bool>{false, false, true, true, false, false, false}));
  }

  // Rows that come while the list is sorted go to their places; rows that leave take
  // nothing else with them; the selection stays on its files through every change.
  void rowsComingAndGoingWhileSortedKeepTheOrderAndTheSelection() {
    ResultList list;
    ResultModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QItemSelectionModel selection(&model);
    for (const char* name : {"d", "b", "f"}) list.Append(Row(name, "1 B", "", "0", "/"));
    model.Flush();
    model.ClickColumn(0);
    QCOMPARE(Shown(model), Words("b d f"));
    selection.select(model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    for (const char* name : {"e", "a", "g", "c"}) list.Append(Row(name, "1 B", "", "0", "/"));
    model.Flush();
    QCOMPARE(Shown(model), Words("a b c d e f g"));
    QCOMPARE(selection.selectedRows().size(), 1);
    QCOMPARE(selection.selectedRows().front().data().toString(), QStringLiteral("f"));

    // The list's own rows 1 (b) and 3 (e) leave: list order d f a g c, shown a c d f g.
    list.RemoveRows({1, 3});
    QCOMPARE(Shown(model), Words("a c d f g"));
    QCOMPARE(selection.selectedRows().front().data().toString(), QStringLiteral("f"));
    QCOMPARE(*model.ListRow(0), std::size_t{2});
    list.SetFolder(*model.ListRow(4), "/moved/");
    QCOMPARE(model.index(4, 4).data().toString(), QStringLiteral("/moved/"));

    // Grouped rows coming in two batches still end up together.
    list.Append(Row("z", "1 B", "", "0", "/", 7));
    model.Flush();
    list.Append(Row("b", "1 B", "", "0", "/", 7));
    model.Flush();
    QCOMPARE(Shown(model), Words("a b z c d f g"));

    model.ClickColumn(0);
    model.ClickColumn(0);  // the job's order
    QCOMPARE(Shown(model), Words("d f a g c z b"));
    QCOMPARE(selection.selectedRows().front().data().toString(), QStringLiteral("f"));
    list.Clear();
    QCOMPARE(model.rowCount(), 0);
  }

  // Rows a running job adds to a sorted list reach their places through the event
  // loop, placed in batches, not one placing per row.
  void rowsAddedToASortedListArriveInTheirPlaces() {
    ResultList list;
    ResultModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    list.Append(Row("m", "1 B", "", "0", "/"));
    model.Flush();
    model.ClickColumn(0);
    QSignalSpy placed(&model, &QAbstractItemModel::layoutChanged);
    for (int i = 0; i < 30; ++i) {
      list.Append(
          Row(i % 2 ? "a" + std::to_string(i) : "z" + std::to_string(i), "1 B", "", "0", "/"));
      QTest::qWait(20);
    }
    QTRY_COMPARE(model.rowCount(), 31);
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("a1"));
    QCOMPARE(model.index(15, 0).data().toString(), QStringLiteral("m"));
    QCOMPARE(model.index(30, 0).data().toString(), QStringLiteral("z28"));
    QVERIFY2(placed.size() < 10, qPrintable(QString::number(placed.size())));
  }

  // In the window: the header's arrow shows the order; export, copy paths and a drag
  // take the rows as shown; a delete of sorted rows removes exactly the files chosen.
  void theOperationsFollowTheOrderShown() {
    ScriptedUser user;
    auto window = OpenWindow(dir_.filePath(QStringLiteral("Tarnwick.ini")), user);
    auto* view = Control<QTableView>(window.get(), control::kResultList);
    const std::string folder = QFile::encodeName(dir_.path()).toStdString() + "/";
    for (const char* name : {"c.txt", "a.txt", "d.txt", "b.txt"}) {
      WriteFile(QString::fromStdString(folder + name), name);
      window->List().Append(Row(name, "5 B", "", "0", folder));
    }
    QCoreApplication::processEvents();
    QHeaderView* header = view->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    QCOMPARE(header->sortIndicatorSection(), 0);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(Shown(*view->model()), Words("a.txt b.txt c.txt d.txt"));

    user.exportFile = dir_.filePath(QStringLiteral("paths.txt"));
    Control<QPushButton>(window.get(), "按钮导出")->click();
    const QByteArray exported = ReadFile(user.exportFile);
    QCOMPARE(exported, QByteArray::fromStdString(folder + "a.txt\r\n" + folder + "b.txt\r\n" +
                                                 folder + "c.txt\r\n" + folder + "d.txt"));

    // Rows 1 and 3 as shown: b.txt and d.txt.
    QItemSelectionModel* selection = view->selectionModel();
    for (const int row : {3, 1})
      selection->select(view->model()->index(row, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Control<QPushButton>(window.get(), "按钮复制路径")->click();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString::fromStdString(folder + "b.txt\r\n" + folder + "d.txt"));
    std::unique_ptr<QMimeData> dragged(view->model()->mimeData(selection->selectedIndexes()));
    QCOMPARE(dragged->urls().size(), 2);
    QVERIFY(dragged->urls()[0].path().endsWith(QStringLiteral("b.txt")));

    Control<QPushButton>(window.get(), "按钮删除")->click();  // the user answers OK
    QVERIFY(!QFile::exists(QString::fromStdString(folder + "b.txt")));
    QVERIFY(!QFile::exists(QString::fromStdString(folder + "d.txt")));
    QVERIFY(QFile::exists(QString::fromStdString(folder + "a.txt")));
    QVERIFY(QFile::exists(QString::fromStdString(folder + "c.txt")));
    QTRY_COMPARE(Shown(*view->model()), Words("a.txt c.txt"));

    // Falling, then the job's order, and the arrow goes away.
    for (int click = 0; click < 2; ++click)
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    QCOMPARE(header->sortIndicatorSection(), -1);
    QCOMPARE(Shown(*view->model()), Words("c.txt a.txt"));
  }
};

QTEST_MAIN(SortedListTest)
#include "sorted_list_test.moc"
