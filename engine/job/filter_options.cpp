#include "engine/job/filter_options.h"

namespace tarnwick {
namespace {

struct CheckInfo {
  const char* objectName;
  const char* caption;
  bool initiallyOn;
};

constexpr CheckInfo kChecks[kCheckCount] = {
    {"选择框按内容筛选", "按内容筛选", false},
    {"单选框包含内容", "包含内容", true},
    {"单选框不含内容", "不含内容", false},
    {"选择框文件名", "文件名", true},
    {"选择框文件内容", "文件内容", false},
    {"选择框按长度筛选", "按长度筛选", false},
    {"选择框清除网页标签", "清除网页标签", false},
    {"选择框清除空行空格", "清除空行空格", false},
    {"单选框文件大小", "文件大小", true},
    {"单选框内容字数", "内容字数", false},
    {"单选框B", "B", false},
    {"单选框KB", "KB", true},
    {"单选框MB", "MB", false},
    {"单选框GB", "GB", false},
    {"单选框TB", "TB", false},
    {"选择框按时间筛选", "按时间筛选", false},
    {"单选框创建", "创建", false},
    {"单选框修改", "修改", true},
    {"单选框访问", "访问", false},
    {"单选框年月日", "年月日", false},
    {"单选框时分秒", "时分秒", false},
    {"单选框两者", "两者", true},
    {"选择框按重复筛选", "按重复筛选", false},
    {"单选框MD5", "MD5", false},
    {"单选框长度", "长度", true},
    {"单选框名称", "名称", false},
    {"单选框文本", "文本", false},
    {"单选框相似", "相似", false},
    {"单选框一重复文件", "一", false},
    {"单选框全部重复文件", "全部", false},
    {"单选框全部减一重复文件", "全部减一", true},
    {"单选框遍历子目录", "遍历子目录", false},
    {"单选框仅该目录", "仅该目录", true},
    {"单选框遍历层次", "遍历层次", false},
    {"选择框猜测编码", "猜测编码", false},
};

struct FieldInfo {
  const char* objectName;
  const char* initialText;
};

constexpr FieldInfo kFields[kFieldCount] = {
    {"编辑框筛选内容", "多组内容以|隔开"},
    {"编辑框长度起始", "5"},
    {"编辑框长度终止", "10"},
    {"编辑框时间起始", "2012-12-21 12:12:12"},
    {"编辑框时间终止", "2014-03-31 23:55:00"},
    {"编辑框层次", "2"},
    {"编辑框过滤", "*.*"},
    {"按钮开始筛选", ""},
    {"按钮移动", ""},
    {"按钮复制", ""},
    {"编辑框相似度", "90"},
};

constexpr CheckGroup kGroups[] = {
    {Check::ContainsContent, Check::LacksContent},
    {Check::MeasureSize, Check::MeasureChars},
    {Check::UnitB, Check::UnitTB},
    {Check::TimeCreated, Check::TimeAccessed},
    {Check::CompareDate, Check::CompareBoth},
    {Check::DupByMd5, Check::DupBySimilarity},
    {Check::DupOne, Check::DupAllButOne},
    {Check::ScopeTree, Check::ScopeLevels},
};

int Index(Check check) { return static_cast<int>(check); }
int Index(Field field) { return static_cast<int>(field); }

}  // namespace

const char* ObjectName(Check check) { return kChecks[Index(check)].objectName; }
const char* ObjectName(Field field) { return kFields[Index(field)].objectName; }
const char* InitialCaption(Check check) { return kChecks[Index(check)].caption; }

const char* CharacterUnitCaption(Check unit) {
  static constexpr const char* kCaptions[] = {"个", "十", "百", "千", "万"};
  return kCaptions[Index(unit) - Index(Check::UnitB)];
}

CheckGroup GroupOf(Check check) {
  for (const CheckGroup& group : kGroups) {
    if (Index(check) >= Index(group.first) && Index(check) <= Index(group.last)) return group;
  }
  return {check, check};
}

FilterOptions::FilterOptions() {
  for (int i = 0; i < kCheckCount; ++i) checked_[i] = kChecks[i].initiallyOn;
  for (int i = 0; i < kFieldCount; ++i) texts_[i] = kFields[i].initialText;
}

FilterOptions::FilterOptions(const OptionControls& source)
    : matchMode_(source.MatchModeIndex()), revision_(source.Revision()) {
  for (int i = 0; i < kCheckCount; ++i) checked_[i] = source.IsChecked(static_cast<Check>(i));
  for (int i = 0; i < kFieldCount; ++i) texts_[i] = source.Text(static_cast<Field>(i));
}

bool FilterOptions::IsChecked(Check check) const { return checked_[Index(check)]; }

void FilterOptions::SetChecked(Check check, bool on) {
  ++revision_;
  const CheckGroup group = GroupOf(check);
  if (group.first == group.last) {
    checked_[Index(check)] = on;
    return;
  }
  if (!on) return;  // a radio button is deselected only by selecting another
  for (int i = Index(group.first); i <= Index(group.last); ++i) checked_[i] = false;
  checked_[Index(check)] = true;
}

std::string FilterOptions::Caption(Check check) const {
  const bool isUnit = Index(check) >= Index(Check::UnitB) && Index(check) <= Index(Check::UnitTB);
  if (isUnit && !IsChecked(Check::MeasureSize)) return CharacterUnitCaption(check);
  return InitialCaption(check);
}

std::string FilterOptions::Text(Field field) const { return texts_[Index(field)]; }

void FilterOptions::SetText(Field field, const std::string& text) {
  texts_[Index(field)] = text;
  ++revision_;
}

bool FilterOptions::operator==(const FilterOptions& other) const {
  return checked_ == other.checked_ && texts_ == other.texts_ && matchMode_ == other.matchMode_;
}

}  // namespace tarnwick
