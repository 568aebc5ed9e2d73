// The window at every size a user gives it, in both languages: every caption whole in
// the room the style draws it in, no control over another or outside its container, the
// opening placement on a screen that has room and on a laptop's that has not, and
// message boxes wide enough for their title.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

#include "app/controls/control_roster.h"
#include "app/language/ui_language.h"
#include "app/window/program_font.h"
#include "app/window/screen_fit.h"
#include "platform/desktop/message_box.h"
#include "window_fixture.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

QString Name(const QWidget* widget) { return widget->objectName(); }

// The room the style draws a control's caption in, against the caption's width.
void CheckCaptionRoom(const QWidget* control, QStringList& cut) {
  auto report = [&](const QString& text, int room) {
    const int needed = control->fontMetrics().horizontalAdvance(text);
    if (needed > room)
      cut << QStringLiteral("%1 \"%2\" (%3 > %4)").arg(Name(control), text).arg(needed).arg(room);
  };
  const QStyle* style = control->style();
  if (const auto* push = qobject_cast<const QPushButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(push);
    option.text = push->text();
    report(push->text(),
           style->subElementRect(QStyle::SE_PushButtonContents, &option, push).width());
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const auto element = qobject_cast<const QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                                   : QStyle::SE_CheckBoxContents;
    report(button->text(), style->subElementRect(element, &option, button).width());
  } else if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const QRect field =
        style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    for (int i = 0; i < combo->count(); ++i) report(combo->itemText(i), field.width());
  } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
    if (label->pixmap().isNull()) report(label->text(), label->contentsRect().width());
  }
}

// Every named control: its caption whole, inside its container, clear of the controls
// beside it; the window's own children inside the window and clear of the status bar.
QStringList Faults(QWidget* window) {
  QStringList faults;
  const QRect statusBar = Control<QWidget>(window, control::kStatusBar)->geometry();
  for (QWidget* control : window->findChildren<QWidget*>()) {
    if (Name(control).isEmpty() || control->isWindow() || !control->isVisible()) continue;
    CheckCaptionRoom(control, faults);
    QWidget* container = control->parentWidget();
    const QRect rect = control->geometry();
    // The banner's underline is one pixel wider than the window on purpose.
    if (Name(control) != QString::fromUtf8(control::kBannerLine) &&
        !QRect(QPoint(0, 0), container->size()).contains(rect))
      faults << Name(control) + QStringLiteral(" leaves its container");
    if (container == window && Name(control) != QString::fromUtf8(control::kStatusBar) &&
        rect.intersects(statusBar))
      faults << Name(control) + QStringLiteral(" lies under the status bar");
    for (QWidget* sibling : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (sibling == control || Name(sibling).isEmpty() || !sibling->isVisible()) continue;
      const bool bannerPair = (Name(control) == QString::fromUtf8(control::kBanner) ||
                               Name(sibling) == QString::fromUtf8(control::kBanner)) &&
                              (Name(control) == QString::fromUtf8(control::kBannerLine) ||
                               Name(sibling) == QString::fromUtf8(control::kBannerLine));
      if (!bannerPair && Name(control) < Name(sibling) && rect.intersects(sibling->geometry()))
        faults << Name(control) + QStringLiteral(" overlaps ") + Name(sibling);
    }
  }
  return faults;
}

// What the user can enable: every group, the character units, a job's stop caption.
void ShowEveryCaption(QWidget* window) {
  for (const char* name : {"选择框按内容筛选", "选择框按长度筛选", "选择框按时间筛选",
                           "选择框按重复筛选", "单选框内容字数"})
    Control<QAbstractButton>(window, name)->click();
}

// Runs its holder's scope with the program's own Chinese texts.
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

class WindowFitTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<QTranslator> english_;
  QString SettingsPath() const { return dir_.filePath(QStringLiteral("Tarnwick.ini")); }

 private slots:
  void initTestCase() {
    UseProgramFont();
    english_ = NewEnglishTranslator();
    QVERIFY(english_);
    QVERIFY(QCoreApplication::installTranslator(english_.get()));
  }

  void init() { QFile::remove(SettingsPath()); }

  // From the size a laptop leaves (1000 by 600) to a large screen's, in both languages
  // and in each style Qt offers here (their frames, indicators and arrows differ).
  // A font larger than the program's stands for the other fonts and resolutions the
  // window meets on users' desktops: the captions stay whole, the window grows.
  void everyControlIsWholeAtEverySize_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("fontPixels");
    for (const QString& key : QStyleFactory::keys()) {
      for (const int pixels : {12, 15})
        QTest::addRow("%s %dpx", qPrintable(key), pixels) << key << pixels;
    }
  }

  void everyControlIsWholeAtEverySize() {
    QFETCH(QString, style);
    QFETCH(int, fontPixels);
    const QString previousStyle = QApplication::style()->name();
    const QFont previousFont = QApplication::font();
    QApplication::setStyle(style);
    QFont font = previousFont;
    font.setPixelSize(fontPixels);
    QApplication::setFont(font);
    const auto restore = qScopeGuard([&] {
      QApplication::setStyle(previousStyle);
      QApplication::setFont(previousFont);
    });
    const bool programFont = fontPixels == previousFont.pixelSize();
    for (const bool english : {true, false}) {
      std::optional<ChineseTexts> chinese;
      if (!english) chinese.emplace(english_.get());
      ScriptedUser user;
      auto window = OpenWindow(SettingsPath(), user);
      QWidget* w = window.get();
      ShowEveryCaption(w);
      if (programFont)
        QVERIFY2(
            w->minimumWidth() <= 1000 && w->minimumHeight() <= 600,
            qPrintable(QStringLiteral("%1x%2").arg(w->minimumWidth()).arg(w->minimumHeight())));
      for (const QSize size : {QSize(1000, 600), QSize(1020, 640), QSize(1300, 690),
                               QSize(1065, 759), QSize(1500, 1000), QSize(700, 400)}) {
        w->resize(size);
        const QStringList faults = Faults(w);
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QStringLiteral("%1x%2 %3: ")
                                .arg(w->width())
                                .arg(w->height())
                                .arg(english ? QStringLiteral("en") : QStringLiteral("zh")) +
                            faults.join(QStringLiteral("; "))));
        QVERIFY(Control<QWidget>(w, control::kResultList)->height() >= 100);
      }
      // The start button's running and stopping captions fit where its idle one does.
      auto* start = Control<QPushButton>(w, control::kStartButton);
      for (const char* caption : {kStartCaptionRunning, kStartCaptionStopping}) {
        start->setText(QCoreApplication::translate("Controls", caption));
        QVERIFY2(Faults(w).isEmpty(), caption);
      }
    }
  }

  // At the size it opens with, the Chinese window stands as the roster places it; only
  // what follows the window's size differs.
  void theOpeningSizeKeepsTheRostersPlaces() {
    ChineseTexts chinese(english_.get());
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QCOMPARE(window->geometry(), QRect(50, 50, 1065, 759));
    const QStringList stretched =
        Texts({"图片框横幅", "标签横幅", "分组框重复", "进度条", "进度提示", "图片框列表操作",
               "编辑框时间起始", "编辑框时间终止"});
    for (const ControlSpec& entry : ControlRoster()) {
      if (stretched.contains(QString::fromUtf8(entry.name))) continue;
      QCOMPARE(Control<QWidget>(window.get(), entry.name)->geometry(),
               QRect(entry.left, entry.top, entry.width, entry.height));
    }
    QCOMPARE(Control<QWidget>(window.get(), "分组框重复")->y(), 600);
  }

  // A shorter window keeps the order of everything and draws it closer together; a
  // taller one gives the room to the list and the duplicate group alone.
  void theRowsComeCloserAsTheWindowShrinks() {
    ScriptedUser user;
    auto window = OpenWindow(SettingsPath(), user);
    QWidget* w = window.get();
    auto top = [w](const char* name) { return Control<QWidget>(w, name)->mapTo(w, QPoint()).y(); };
    const char* column[] = {"选择框按内容筛选", "标签1",  "标签2",       "标签5",
                            "分组框长度",       "标签9",  "分组框长度1", "编辑框时间终止",
                            "分组框重复",       "图片框2"};
    QList<int> previous;
    for (const int height : {759, 700, 650, 600}) {
      w->resize(1065, height);
      QList<int> tops;
      for (const char* name : column) tops << top(name);
      for (int i = 1; i < tops.size(); ++i) QVERIFY2(tops[i] > tops[i - 1], column[i]);
      if (!previous.isEmpty()) {
        for (int i = 0; i < tops.size(); ++i) QVERIFY2(tops[i] <= previous[i], column[i]);
      }
      previous = tops;
    }
    w->resize(1065, 759);
    QList<int> opening;
    for (const char* name : column) opening << top(name);
    w->resize(1065, 1000);
    for (int i = 0; i < opening.size(); ++i) QCOMPARE(top(column[i]), opening[i]);
    QCOMPARE(top("分组框重复"), 600);
    QCOMPARE(top("标签9"), 264 + 116);
  }

  void theOpeningPlacementStaysWhereTheScreenHasRoom() {
    const QRect wanted(50, 50, 1065, 759);
    const QMargins frame(2, 30, 2, 2);
    const QSize minimum(1000, 600);
    // Room enough: the placement as it is.
    QCOMPARE(OpeningGeometry(wanted, QRect(0, 0, 1600, 1200), frame, minimum), wanted);
    // A laptop with a panel on top: as tall as the free area allows, inside it.
    const QRect laptop(0, 32, 1366, 736);
    const QRect fitted = OpeningGeometry(wanted, laptop, frame, minimum);
    QVERIFY(laptop.marginsRemoved(frame).contains(fitted));
    QCOMPARE(fitted.size(), QSize(1065, 736 - 32));
    QCOMPARE(fitted.left(), 50);
    // A screen smaller than the smallest window: the smallest window, at the area's corner.
    const QRect tiny = OpeningGeometry(wanted, QRect(0, 0, 800, 600), frame, minimum);
    QCOMPARE(tiny, QRect(QPoint(2, 30), minimum));
  }

  void theWindowOpensInsideALaptopScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen->size() != QSize(1366, 768)) QSKIP("runs on the laptop screen (ctest entry)");
    for (const bool english : {true, false}) {
      std::optional<ChineseTexts> chinese;
      if (!english) chinese.emplace(english_.get());
      ScriptedUser user;
      auto window = OpenWindow(SettingsPath(), user);
      QWidget* w = window.get();
      QVERIFY(screen->availableGeometry().contains(w->geometry()));
      QVERIFY(w->height() < 759);
      QCOMPARE(w->width(), 1065);
      ShowEveryCaption(w);
      const QStringList faults = Faults(w);
      QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }
  }

  // A message as short as "保存完毕！" still shows its title whole: window managers cut a
  // title that is wider than its window.
  void aShortMessageIsWideEnoughForItsTitle() {
    int boxWidth = 0;
    int titleWidth = 0;
    QTimer::singleShot(50, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      boxWidth = box->width();
      titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
      box->accept();
    });
    ShowMessageBox(QStringLiteral("保存完毕！"), QMessageBox::Ok,
                   QStringLiteral("Brellin：很长的标题也要完整显示"), QMessageBox::Information);
    // The title, the window manager's buttons beside it and the frame's ends.
    QVERIFY2(boxWidth >= titleWidth + 150, qPrintable(QString::number(boxWidth)));
  }
};

QTEST_MAIN(WindowFitTest)
#include "window_fit_test.moc"
