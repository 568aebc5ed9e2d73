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
  title->setGeometry(24, 20, 420, 48);
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
}

}  // namespace tarnwick
