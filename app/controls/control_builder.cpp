#include "app/controls/control_builder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>
#include <utility>

#include "app/controls/caption_width.h"
#include "app/controls/click_label.h"
#include "app/controls/control_captions.h"
#include "app/controls/control_roster.h"
#include "app/time_field/time_field_access.h"
#include "engine/job/filter_options.h"

namespace tarnwick {
namespace {

QWidget* CreatePicture(QWidget* parent, const char* name) {
  auto* picture = new ClickLabel(ClickLabel::Trigger::Click, parent);
  const bool isSave = qstrcmp(name, control::kSavePicture) == 0;
  const QIcon icon = QApplication::style()->standardIcon(isSave ? QStyle::SP_DialogSaveButton
                                                                : QStyle::SP_MessageBoxQuestion);
  picture->setPixmap(icon.pixmap(32, 32));
  picture->setAlignment(Qt::AlignCenter);
  return picture;
}

QWidget* CreateControl(const ControlSpec& entry, QWidget* parent) {
  // Captions in the window's language, and the hint the pattern box starts with; the
  // other edit boxes start with numbers, times and the mask, the same in every language.
  const QString caption = ControlCaption(entry.caption);
  const QString initialText = QString::fromUtf8(entry.caption);
  switch (entry.kind) {
    case ControlKind::Panel:
      return new QWidget(parent);
    case ControlKind::GroupFrame:
      return new QGroupBox(parent);
    case ControlKind::Label:
      return new QLabel(caption, parent);
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(parent);
      SetControlCaption(box, entry.caption);
      box->setChecked(entry.on);
      // A group's title box sits on the frame's border line and must hide it.
      box->setAutoFillBackground(qobject_cast<QGroupBox*>(parent) != nullptr && entry.top == 0);
      return box;
    }
    case ControlKind::RadioButton: {
      auto* radio = new QRadioButton(parent);
      SetControlCaption(radio, entry.caption);
      radio->setChecked(entry.on);
      return radio;
    }
    case ControlKind::LineEdit:
      return new QLineEdit(initialText, parent);
    case ControlKind::TextEdit: {
      auto* edit = new QPlainTextEdit(caption, parent);
      edit->setTabChangesFocus(true);
      return edit;
    }
    case ControlKind::TimeField:
      return CreateTimeField(parent, initialText);
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(parent);
      // The items in the order of MatchMode; the settings file keeps the index.
      combo->addItems({ControlCaption(QT_TRANSLATE_NOOP("Controls", "默认")),
                       ControlCaption(QT_TRANSLATE_NOOP("Controls", "通配")),
                       ControlCaption(QT_TRANSLATE_NOOP("Controls", "正则"))});
      return combo;
    }
    case ControlKind::Button:
      return new QPushButton(caption, parent);
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setTextVisible(false);
      bar->setRange(0, 100);
      bar->setValue(0);
      return bar;
    }
    case ControlKind::LinkText: {
      auto* link = new ClickLabel(ClickLabel::Trigger::LeftPress, parent);
      link->setText(caption);
      link->setAlignment(Qt::AlignCenter);
      return link;
    }
    case ControlKind::LinkPicture:
      return CreatePicture(parent, entry.name);
  }
  return nullptr;
}

// One exclusive button group per radio group of the options. Radio buttons that are
// not options (none at present) keep Qt's per-container exclusivity.
void GroupRadioButtons(QWidget* window) {
  QHash<int, QButtonGroup*> groups;
  for (int i = 0; i < kCheckCount; ++i) {
    const auto check = static_cast<Check>(i);
    const CheckGroup group = GroupOf(check);
    if (group.first == group.last) continue;
    auto* radio = window->findChild<QRadioButton*>(QString::fromUtf8(ObjectName(check)));
    if (!radio) continue;
    QButtonGroup*& buttons = groups[static_cast<int>(group.first)];
    if (!buttons) buttons = new QButtonGroup(window);
    buttons->addButton(radio);
  }
}

// The decorative part of the banner: the program's name.
void AddBannerTitle(QWidget* banner) {
  if (!banner) return;
  auto* title =
      new QLabel(ControlCaption(QT_TRANSLATE_NOOP("Controls", "Tarnwick 文件筛选")), banner);
  QFont font = title->font();
  font.setPixelSize(26);
  font.setBold(true);
  title->setFont(font);
  title->setObjectName(QString::fromUtf8(control::kBannerTitle));
  title->setGeometry(24, 20, 420, 48);
}

// The controls whose use is not plain from their caption explain it when the pointer
// rests on them.
void SetToolTips(QWidget* window) {
  const std::pair<const char*, const char*> tips[] = {
      {"编辑框过滤",
       QT_TRANSLATE_NOOP("Controls",
                         "要列出的文件名：*.* 为全部文件，* 代表任意几个字符，? 代表一个字符；"
                         "多个名称以 | 隔开，如 *.txt|*.htm")},
      {"选择框猜测编码",
       QT_TRANSLATE_NOOP("Controls",
                         "既无字节序标记、又无网页编码声明、也不是 UTF-8 的文本，"
                         "猜测它是 GB18030、Big5、Shift-JIS 还是 EUC-KR 再读取（不勾选时按 GBK "
                         "读取）；用于按内容筛选、统计字数和查看")},
      {control::kStartButton,
       QT_TRANSLATE_NOOP("Controls",
                         "单击：选择目录并开始筛选，筛选中再次单击则停止。\n"
                         "按鼠标右键：用逐个比对名称的方式列出文件（每个目录只读一次，"
                         "名称与整个过滤条件比对，同一文件不会列出两次）")},
  };
  for (const auto& [name, tip] : tips) {
    if (QWidget* control = window->findChild<QWidget*>(QString::fromUtf8(name)))
      control->setToolTip(ControlCaption(tip));
  }
}

// The unit buttons show the size units or the character units, the start button its
// idle, running and stopping captions: each is measured for all of them, so nothing
// moves when the caption changes.
void ListCaptionsToFit(QWidget* window) {
  for (const Check unit :
       {Check::UnitB, Check::UnitKB, Check::UnitMB, Check::UnitGB, Check::UnitTB}) {
    if (QWidget* button = window->findChild<QWidget*>(QString::fromUtf8(ObjectName(unit)))) {
      button->setProperty(kCaptionsToFitProperty,
                          QStringList{ControlCaption(InitialCaption(unit)),
                                      ControlCaption(CharacterUnitCaption(unit))});
    }
  }
  if (QWidget* start = window->findChild<QWidget*>(QString::fromUtf8(control::kStartButton))) {
    start->setProperty(kCaptionsToFitProperty, QStringList{ControlCaption(kStartCaptionIdle),
                                                           ControlCaption(kStartCaptionRunning),
                                                           ControlCaption(kStartCaptionStopping)});
  }
}

}  // namespace

void BuildControls(QWidget* window) {
  QHash<QByteArray, QWidget*> created;
  for (const ControlSpec& entry : ControlRoster()) {
    QWidget* parent = entry.container ? created.value(entry.container) : window;
    QWidget* widget = CreateControl(entry, parent ? parent : window);
    widget->setObjectName(QString::fromUtf8(entry.name));
    // The time editor chooses its own font; it gets at least the width its text needs.
    const int width = entry.kind == ControlKind::TimeField
                          ? std::max(entry.width, widget->sizeHint().width())
                          : entry.width;
    widget->setGeometry(entry.left, entry.top, width, entry.height);
    created.insert(entry.name, widget);
  }
  GroupRadioButtons(window);
  AddBannerTitle(created.value(control::kBanner));
  ListCaptionsToFit(window);
  SetToolTips(window);
}

}  // namespace tarnwick
