// The list model over the row store: batched announcements with exact ranges, and the
// display of raw path bytes.

#include "app/list/result_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

namespace {

ResultRow Row(const std::string& name, const std::string& folder = "/d/") {
  return {name, "1 KB", "2014-03-05 08:05:09", "1,2345", folder};
}

}  // namespace

class ResultModelTest : public QObject {
  Q_OBJECT

 private slots:
  void appendsAreAnnouncedInOneInsertionPerFlush() {
    ResultList list;
    ResultModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    for (int i = 0; i < 5; ++i) list.Append(Row("f" + std::to_string(i)));
    QCOMPARE(model.rowCount(), 0);  // not yet announced
    model.Flush();
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][1].toInt(), 0);
    QCOMPARE(inserted[0][2].toInt(), 4);

    model.Flush();  // nothing pending: no signal
    QCOMPARE(inserted.size(), 1);

    list.Append(Row("g"));
    list.Append(Row("h"));
    model.Flush();
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(inserted[1][1].toInt(), 5);
    QCOMPARE(inserted[1][2].toInt(), 6);

    list.Append(Row("i"));  // reaches the view through the event loop
    QTRY_COMPARE(model.rowCount(), 8);
  }

  void removalsChangesAndClearKeepTheModelConsistent() {
    ResultList list;
    ResultModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const char* name : {"a", "b", "c"}) list.Append(Row(name));
    model.Flush();

    list.Append(Row("pending"));
    list.RemoveRows({1});  // an announced row while another is still pending
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("c"));
    model.Flush();
    QCOMPARE(model.rowCount(), 3);
    list.RemoveRows({2});  // the last row
    QCOMPARE(model.rowCount(), 2);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    list.SetFolder(0, "/moved/");
    QCOMPARE(changed.size(), 1);
    QCOMPARE(model.index(0, 4).data().toString(), QStringLiteral("/moved/"));

    list.Append(Row("x"));
    list.Clear();
    QCOMPARE(model.rowCount(), 0);
    model.Flush();
    QCOMPARE(model.rowCount(), 0);
  }

  // Rows leave in one batch: one removal signal per run, the last run first, with the
  // rows between the runs shown right at every step (the tester checks the neighbours
  // of each removed run). Rows the view was not yet told of leave without a signal.
  void aBatchOfRemovalsSendsOneSignalPerRun() {
    ResultList list;
    ResultModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = 0; i < 12; ++i) list.Append(Row(std::to_string(i)));
    model.Flush();
    list.Append(Row("12"));
    list.Append(Row("13"));  // pending
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

    list.RemoveRows({1, 2, 5, 9, 10, 11, 12});
    QCOMPARE(removed.size(), 3);
    QCOMPARE((QList<int>{removed[0][1].toInt(), removed[0][2].toInt()}), (QList<int>{9, 11}));
    QCOMPARE((QList<int>{removed[1][1].toInt(), removed[1][2].toInt()}), (QList<int>{5, 5}));
    QCOMPARE((QList<int>{removed[2][1].toInt(), removed[2][2].toInt()}), (QList<int>{1, 2}));
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) shown << model.index(row, 0).data().toString();
    QCOMPARE(shown, QStringLiteral("0 3 4 6 7 8").split(QLatin1Char(' ')));
    model.Flush();
    QCOMPARE(model.rowCount(), 7);
    QCOMPARE(model.index(6, 0).data().toString(), QStringLiteral("13"));
  }

  void aNameThatIsNotUtf8IsShownDecodedAndItsBytesStayUntouched() {
    ResultList list;
    ResultModel model(list);
    const std::string gbkName = "\xd6\xd0\xce\xc4.txt";    // 中文.txt in GBK
    const std::string folder = "/数据/\xb1\xa8\xb8\xe6/";  // 报告 in GBK
    list.Append(Row(gbkName, folder));
    model.Flush();
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("中文.txt"));
    QCOMPARE(model.index(0, 4).data().toString(), QStringLiteral("/数据/报告/"));
    QCOMPARE(list.FullPath(0), folder + gbkName);
    QVERIFY(!model.index(0, 0).data(Qt::EditRole).isValid());
  }
};

QTEST_MAIN(ResultModelTest)
#include "result_model_test.moc"
