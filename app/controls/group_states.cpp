#include "app/controls/group_states.h"

#include <QAbstractButton>
#include <QWidget>
#include <QtGlobal>
#include <initializer_list>

#include "app/controls/control_captions.h"
#include "engine/job/filter_options.h"

namespace tarnwick {
namespace {

QWidget* Find(const QWidget* window, const char* name) {
  return window->findChild<QWidget*>(QString::fromUtf8(name));
}

bool IsTicked(const QWidget* window, const char* name) {
  const auto* box = qobject_cast<const QAbstractButton*>(Find(window, name));
  return box && box->isChecked();
}

void EnableAll(const QWidget* window, std::initializer_list<const char*> names, bool enabled) {
  for (const char* name : names) {
    if (QWidget* widget = Find(window, name)) widget->setEnabled(enabled);
  }
}

constexpr Check kUnits[] = {Check::UnitB, Check::UnitKB, Check::UnitMB, Check::UnitGB,
                            Check::UnitTB};

// CharacterUnitCaption's captions, for the translation catalogue; the size units read
// the same in every language.
[[maybe_unused]] constexpr const char* kCharacterUnitCaptions[] = {
    QT_TRANSLATE_NOOP("Controls", "个"), QT_TRANSLATE_NOOP("Controls", "十"),
    QT_TRANSLATE_NOOP("Controls", "百"), QT_TRANSLATE_NOOP("Controls", "千"),
    QT_TRANSLATE_NOOP("Controls", "万")};

}  // namespace

void ApplyGroupStates(QWidget* window, bool jobRunning) {
  EnableAll(window,
            {"单选框包含内容", "单选框不含内容", "编辑框筛选内容", "选择框文件内容", "选择框文件名",
             "组合框匹配模式", "按钮粘贴"},
            IsTicked(window, "选择框按内容筛选"));
  EnableAll(window,
            {"选择框清除网页标签", "选择框清除空行空格", "单选框文件大小", "单选框内容字数",
             "编辑框长度起始", "编辑框长度终止", "单选框B", "单选框KB", "单选框MB", "单选框GB",
             "单选框TB"},
            IsTicked(window, "选择框按长度筛选"));
  EnableAll(window,
            {"单选框创建", "单选框修改", "单选框访问", "单选框年月日", "单选框时分秒", "单选框两者",
             "编辑框时间起始", "编辑框时间终止"},
            IsTicked(window, "选择框按时间筛选"));
  EnableAll(window,
            {"单选框MD5", "单选框长度", "单选框名称", "单选框文本", "单选框相似", "编辑框相似度",
             "标签16", "单选框一重复文件", "单选框全部重复文件", "单选框全部减一重复文件"},
            IsTicked(window, "选择框按重复筛选") && !jobRunning);
  EnableAll(window, {"选择框按重复筛选"}, !jobRunning);
}

void ApplyLengthUnits(QWidget* window) {
  const bool bySize = IsTicked(window, "单选框文件大小");
  for (Check unit : kUnits) {
    auto* button = qobject_cast<QAbstractButton*>(Find(window, ObjectName(unit)));
    if (!button) continue;
    SetControlCaption(button, bySize ? InitialCaption(unit) : CharacterUnitCaption(unit));
  }
  const QWidget* sizeButton = Find(window, "单选框文件大小");
  const bool stripAllowed = !bySize && sizeButton && sizeButton->isEnabled();
  EnableAll(window, {"选择框清除网页标签", "选择框清除空行空格"}, stripAllowed);
}

}  // namespace tarnwick
