// The window in English: its captions, every caption whole at the smallest size, the
// start button's captions and the busy check while a job runs, the job's texts, and a
// settings file that is the same whichever language wrote it.

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <optional>

#include "app/controls/control_roster.h"
#include "app/job/job_texts.h"
#include "app/job/pattern_error_text.h"
#include "app/language/ui_language.h"
#include "app/window/program_font.h"
#include "engine/filter_job.h"
#include "match/pattern_check.h"
#include "window_fixture.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

// Han characters and the full-width punctuation of the Chinese texts.
bool HasChinese(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3000 && u <= 0x303F) ||
        (u >= 0xFF00 && u <= 0xFFEF))
      return true;
  }
  return false;
}

// Every text the window shows but the option values typed into its edit boxes.
QStringList ShownCaptions(QWidget* window) {
  QStringList captions{window->windowTitle()};
  for (const auto* button : window->findChildren<QAbstractButton*>()) captions << button->text();
  for (const auto* label : window->findChildren<QLabel*>()) captions << label->text();
  for (const auto* combo : window->findChildren<QComboBox*>()) {
    for (int i = 0; i < combo->count(); ++i) captions << combo->itemText(i);
  }
  const QAbstractItemModel* list = Control<QTableView>(window, control::kResultList)->model();
  for (int column = 0; column < list->columnCount(); ++column)
    captions << list->headerData(column, Qt::Horizontal).toString();
  return captions;
}

// The captions that do not fit their control, each with its object name.
QStringList CutCaptions(QWidget* window) {
  QStringList cut;
  auto check = [&cut](const QWidget* control, int needed) {
    if (needed > control->width())
      cut << QStringLiteral("%1 (%2 > %3)")
                 .arg(control->objectName())
                 .arg(needed)
                 .arg(control->width());
  };
  // The margin a push button keeps around its caption.
  constexpr int kButtonMargin = 8;
  for (const auto* button : window->findChildren<QAbstractButton*>()) {
    if (button->text().isEmpty() || button->objectName().isEmpty()) continue;
    if (qobject_cast<const QPushButton*>(button)) {
      check(button, button->fontMetrics().horizontalAdvance(button->text()) + kButtonMargin);
    } else {
      check(button, button->sizeHint().width());
    }
  }
  for (const auto* label : window->findChildren<QLabel*>()) {
    if (label->text().isEmpty() || label->objectName().isEmpty() || !label->pixmap().isNull())
      continue;
    check(label, label->fontMetrics().horizontalAdvance(label->text()));
  }
  const auto* combo = Control<QComboBox>(window, control::kMatchMode);
  for (int i = 0; i < combo->count(); ++i) {
    // The text beside the drop-down arrow.
    const int arrow = combo->height();
    check(combo, combo->fontMetrics().horizontalAdvance(combo->itemText(i)) + arrow);
  }
  return cut;
}

// Runs its holder's scope with the program's own Chinese texts: the English
// translation is taken away and put back.
class ChineseTexts {
 public:
  explicit ChineseTexts(QTranslator* english) : english_(english) {
    QCoreApplication::removeTranslator(english_);
  }
  ~ChineseTexts() { QCoreApplication::installTranslator(english_); }

 private:
  QTranslator* english_;
};

}  // namespace

class EnglishWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<QTranslator> english_;
  QString SettingsPath(const char* name = "Tarnwick.ini") const {
    return dir_.filePath(QString::fromUtf8(name));
  }

 private slots:
  void initTestCase() {
    UseProgramFont();
    english_ = NewEnglishTranslator();
    QVERIFY(english_);
    QVERIFY(QCoreApplication::installTranslator(english_.get()));
  }

  void init() { QFile::remove(SettingsPath()); }

  void captionsReadInEnglish() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    QCOMPARE(Control<QLabel>(w, "标签1")->text(), QStringLiteral("Match:"));
    QCOMPARE(Control<QAbstractButton>(w, "单选框修改")->text(), QStringLiteral("Modified"));
    QCOMPARE(Control<QAbstractButton>(w, "按钮复制路径")->text(), QStringLiteral("Copy paths"));
    QCOMPARE(Control<QAbstractButton>(w, control::kStartButton)->text(),
             QStringLiteral("  Choose a folder and start"));
    QCOMPARE(Control<QComboBox>(w, control::kMatchMode)->itemText(1), QStringLiteral("Wildcard"));
    QCOMPARE(Control<QAbstractButton>(w, "单选框文本")->text(), QStringLiteral("Text"));
    QCOMPARE(Control<QAbstractButton>(w, "单选框相似")->text(), QStringLiteral("Similar"));
    QCOMPARE(Control<QLabel>(w, "标签16")->text(), QStringLiteral("%"));
    QCOMPARE(Control<QTableView>(w, control::kResultList)->model()->headerData(4, Qt::Horizontal),
             QVariant(QStringLiteral("Folder")));
    QCOMPARE(window->windowTitle(), QStringLiteral("Tarnwick v1.0"));
    QVERIFY(Control<QWidget>(w, "编辑框过滤")->toolTip().startsWith(QStringLiteral("File names")));
    QVERIFY(Control<QWidget>(w, control::kStartButton)
                ->toolTip()
                .contains(QStringLiteral("Right button")));

    // The option values are those of the Chinese window but for the pattern box's hint.
    FilterOptions initial;
    initial.SetText(Field::ContentPattern, "Separate texts with |");
    QCOMPARE(Snapshot(window->Options()) == initial, true);
  }

  // No Chinese is left in any English caption, also under the units of the character
  // measure, and every caption of either language fits its control when the window is at
  // its smallest.
  void everyCaptionIsWholeAtTheSmallestSize() {
    for (const bool english : {true, false}) {
      std::optional<ChineseTexts> chinese;
      if (!english) chinese.emplace(english_.get());
      ScriptedUser user;
      auto window = OpenWindow(SettingsPath(), user);
      QWidget* w = window.get();
      w->resize(w->minimumSize());
      Control<QAbstractButton>(w, "选择框按长度筛选")->click();
      for (const char* measure : {"单选框文件大小", "单选框内容字数"}) {
        Control<QAbstractButton>(w, measure)->click();
        for (const QString& caption : ShownCaptions(w))
          QVERIFY2(!english || !HasChinese(caption), qPrintable(caption));
        const QStringList cut = CutCaptions(w);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
      }
    }
  }

  // The resemblance of a 相似 job's current row reads in English.
  void theResemblanceOfARowReadsInEnglish() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    QString text;
    for (int line = 0; line < 60; ++line)
      text += QStringLiteral("line %1 of the quarterly report %2\n").arg(line).arg(line * 7);
    WriteFile(dir_.filePath(QStringLiteral("similar/a.txt")), text.toUtf8());
    WriteFile(dir_.filePath(QStringLiteral("similar/b.txt")), text.toUtf8() + "signed");
    Control<QAbstractButton>(w, "选择框按重复筛选")->click();
    Control<QAbstractButton>(w, "单选框相似")->click();
    Control<QAbstractButton>(w, "单选框全部重复文件")->click();
    user.folderToChoose = dir_.filePath(QStringLiteral("similar"));
    Control<QPushButton>(w, control::kStartButton)->click();
    QCOMPARE(window->List().Count(), std::size_t{2});
    auto* list = Control<QTableView>(w, control::kResultList);
    list->setCurrentIndex(list->model()->index(0, 0));
    QCOMPARE(Control<QLabel>(w, "标签行相似度")->text(),
             QStringLiteral("Resembles its group's first file: 100.0 %"));
  }

  // The button's captions follow the job through its running and stopping states, and the
  // status line reads in English meanwhile and at the end.
  void theStartButtonStopsAJobInEnglish() {
    const QString tree = dir_.filePath(QStringLiteral("tree"));
    for (int i = 0; i < 300; ++i)
      WriteFile(QStringLiteral("%1/sub/f%2.txt").arg(tree).arg(i, 3, 10, QLatin1Char('0')), "x");
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    auto* start = Control<QPushButton>(w, control::kStartButton);
    auto* status = Control<QStatusBar>(w, control::kStatusBar);
    Control<QAbstractButton>(w, "单选框遍历子目录")->click();
    QString running, stopping;
    QStringList lines;
    connect(status, &QStatusBar::messageChanged, this,
            [&lines](const QString& line) { lines << line; });
    user.folderToChoose = tree;
    user.whileChoosing = [&] {
      QTimer::singleShot(0, [&] {
        running = start->text();
        start->click();
        stopping = start->text();
      });
    };
    start->click();
    QCOMPARE(running, QStringLiteral("  Stop now!"));
    const QString activity = QStringLiteral(") Filtering: ") + tree;
    QVERIFY2(std::any_of(lines.begin(), lines.end(),
                         [&](const QString& line) { return line.contains(activity); }),
             qPrintable(lines.join(QLatin1Char('\n'))));
    QCOMPARE(stopping, QStringLiteral("  Stopping.."));
    QCOMPARE(start->text(), QStringLiteral("  Choose a folder and start"));
    QVERIFY(window->List().Count() < 300);
    const QString summary = status->currentMessage();
    QVERIFY2(
        summary.startsWith(QStringLiteral("Done: %1 files listed in ").arg(window->List().Count())),
        qPrintable(summary));

    // A second job starts from the idle caption as the first did.
    user.whileChoosing = nullptr;
    start->click();
    QCOMPARE(window->List().Count(), std::size_t{300});
    QCOMPARE(user.folderRequests, 2);
  }

  void theBusyCheckSaysWhyInEnglish() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    window->List().Append({"f", "0 B", "", "0", "/d/"});
    QCoreApplication::processEvents();
    window->ListView()->selectAll();
    window->Stop().Clear();  // a filter job is running
    Control<QPushButton>(window.get(), "按钮删除")->click();
    Control<QPushButton>(window.get(), control::kStartButton)->click();
    window->Stop().Set();
    const RecordedMessage busy{
        QStringLiteral("Stop the running operation before you start another one."), QMessageBox::Ok,
        QStringLiteral("Brellin"), QMessageBox::Information};
    QCOMPARE(user.boxes, QList<RecordedMessage>(2, busy));
    QCOMPARE(user.folderRequests, 0);
  }

  // The Chinese window says what the engine says, byte for byte; the English one says it
  // in English.
  void jobTextsInBothLanguages() {
    const std::string folder = "/srv/档案";
    const QString walking = QString::fromStdString("正在筛选：" + folder);
    const QString digesting = QStringLiteral("大小 1.5 KB，正在读MD5：/srv/a%1.txt");
    {
      ChineseTexts chinese(english_.get());
      for (const std::int64_t ms : {0LL, 999LL, 61'000LL, 400'000'000'000LL}) {
        QCOMPARE(ElapsedText(ms), QString::fromStdString(FormatElapsed(ms)));
        QCOMPARE(SummaryLine(3, ms), QString::fromStdString(SummaryText(3, ms)));
      }
      QCOMPARE(ActivityText(walking), walking);
      QCOMPARE(ActivityText(digesting), digesting);
    }
    QCOMPARE(ElapsedText(1500), QStringLiteral("1.5 s"));
    QCOMPARE(ElapsedText(90 * 60'000), QStringLiteral("1.5 h"));
    QCOMPARE(SummaryLine(1, 20), QStringLiteral("Done: 1 file listed in 20 ms. Use the buttons "
                                                "above the list to work with it."));
    QVERIFY(SummaryLine(2, 20).startsWith(QStringLiteral("Done: 2 files listed in 20 ms.")));
    QCOMPARE(ActivityText(walking), QStringLiteral("Filtering: /srv/档案"));
    // A "%1" inside a path is the path's own text, not a place for another argument.
    QCOMPARE(ActivityText(digesting), QStringLiteral("Size 1.5 KB, reading MD5: /srv/a%1.txt"));
    QCOMPARE(ActivityText(QStringLiteral("其他")), QStringLiteral("其他"));
  }

  // The count beside the status line and the duplicate stages read in English too.
  void progressTextsInBothLanguages() {
    {
      ChineseTexts chinese(english_.get());
      QCOMPARE(CountsText(1234567, 0), QStringLiteral("已检查 1,234,567 个文件，列出 0 个"));
    }
    QCOMPARE(CountsText(1234567, 3), QStringLiteral("Examined 1,234,567 files, listed 3"));
    QCOMPARE(DuplicateProgressText(DuplicateStage::CompareEnds, 10, 2000, ProgressUnit::Files),
             QStringLiteral("Comparing the files' ends: 10 / 2,000 files"));
    QCOMPARE(DuplicateProgressText(DuplicateStage::CompareWhole, 1024, 1536, ProgressUnit::Bytes),
             QStringLiteral("Comparing whole contents: 1 KB / 1.5 KB"));
  }

  // Why a pattern does not compile: the faults met most in the window's language (the
  // engine's own words in English), the others as the engine words them; each case a
  // pattern the installed engine really rejects.
  void patternErrorsReadInTheWindowsLanguage() {
    const struct {
      const char* pattern;
      const char* chinese;
    } cases[] = {
        {"a(", "缺少右括号（第 3 个字符处）"},
        {"a)", "多出了右括号（第 2 个字符处）"},
        {"[b", "字符集缺少结尾的 ]（第 3 个字符处）"},
        {"*a", "重复符号前面没有可以重复的内容"},  // at the very start: no place named
        {"a{3,2}", "{} 中的数字前大后小（第 6 个字符处）"},
        {"[z-a]", "字符集中的范围前大后小（第 4 个字符处）"},
        {"ab\\", "表达式以 \\ 结尾（第 4 个字符处）"},
        {"(?<=a+)b", "向后查找的长度不固定"},
        {"(a)\\2", "引用了不存在的分组（第 5 个字符处）"},
        {"发票(", "缺少右括号（第 4 个字符处）"},
    };
    for (const auto& c : cases) {
      const std::optional<std::string> engine = PatternProblem(MatchMode::Regex, c.pattern);
      QVERIFY2(engine, c.pattern);
      {
        ChineseTexts chinese(english_.get());
        QCOMPARE(PatternErrorText(*engine), QString::fromUtf8(c.chinese));
      }
      QCOMPARE(PatternErrorText(*engine), QString::fromStdString(*engine));
    }
    // A fault without Chinese words keeps the engine's.
    const std::string rare = "(*MARK) must have an argument at character 7";
    ChineseTexts chinese(english_.get());
    QCOMPARE(PatternErrorText(rare), QString::fromStdString(rare));
  }

  // The flags stay under their Chinese captions (the units under "个".."万" while the
  // character measure is chosen), so both windows write the same file and each restores
  // the other's as it restores its own.
  void theSettingsFileIsTheSameInBothLanguages() {
    auto setOptions = [](QWidget* w, OptionControls& options) {
      for (const char* name :
           {"选择框按内容筛选", "单选框不含内容", "选择框文件内容", "选择框按长度筛选",
            "单选框内容字数", "单选框MB", "选择框清除网页标签", "选择框按时间筛选", "单选框访问",
            "单选框时分秒", "选择框按重复筛选", "单选框名称", "单选框一重复文件", "单选框遍历层次"})
        Control<QAbstractButton>(w, name)->click();
      Control<QComboBox>(w, control::kMatchMode)->setCurrentIndex(1);
      options.SetText(Field::ContentPattern, "发票|合同\ninvoice");
      options.SetText(Field::Levels, "3");
      options.SetText(Field::CopyFolder, "/srv/复制/");
    };
    ScriptedUser user;
    FilterOptions chosen;
    {
      ChineseTexts chinese(english_.get());
      auto window = OpenWindow(SettingsPath("chinese.ini"), user);
      setOptions(window.get(), window->Options());
      chosen = Snapshot(window->Options());
      window->close();
    }
    {
      auto window = OpenWindow(SettingsPath("english.ini"), user);
      setOptions(window.get(), window->Options());
      QCOMPARE(Snapshot(window->Options()) == chosen, true);
      window->close();
    }
    const QByteArray chineseFile = ReadFile(SettingsPath("chinese.ini"));
    QCOMPARE(ReadFile(SettingsPath("english.ini")), chineseFile);
    QVERIFY(chineseFile.contains("\r\n百=真\r\n"));
    QVERIFY(chineseFile.contains("\r\n访问=真\r\n"));

    FilterOptions restored;
    {
      ChineseTexts chinese(english_.get());
      auto window = OpenWindow(SettingsPath("chinese.ini"), user);
      restored = Snapshot(window->Options());
      QCOMPARE(Control<QAbstractButton>(window.get(), "单选框MB")->text(), QStringLiteral("百"));
    }
    {
      auto window = OpenWindow(SettingsPath("chinese.ini"), user);
      QCOMPARE(Snapshot(window->Options()) == restored, true);
      QCOMPARE(Control<QAbstractButton>(window.get(), "单选框MB")->text(), QStringLiteral("×100"));
    }
    ChineseTexts chinese(english_.get());
    auto window = OpenWindow(SettingsPath("english.ini"), user);
    QCOMPARE(Snapshot(window->Options()) == restored, true);
    QVERIFY(user.boxes.isEmpty());
  }
};

QTEST_MAIN(EnglishWindowTest)
#include "english_window_test.moc"
