#pragma once
// The filter options as the main window's controls hold them. The engine reads them
// through this interface at the moment it needs each one, so a change made during a
// job applies from the next read. The desktop implements it over the real widgets;
// FilterOptions implements it as a plain value for the command line and the tests.
// The settings file reads and writes every option through it too.

#include <cstdint>
#include <string>

namespace tarnwick {

// Every check box and radio button that holds an option.
enum class Check {
  // Content group
  ContentFilter,    // 选择框按内容筛选
  ContainsContent,  // 单选框包含内容
  LacksContent,     // 单选框不含内容
  InName,           // 选择框文件名
  InContent,        // 选择框文件内容
  // Length group
  LengthFilter,  // 选择框按长度筛选
  StripTags,     // 选择框清除网页标签
  StripSpace,    // 选择框清除空行空格
  MeasureSize,   // 单选框文件大小
  MeasureChars,  // 单选框内容字数
  UnitB,         // 单选框B
  UnitKB,        // 单选框KB
  UnitMB,        // 单选框MB
  UnitGB,        // 单选框GB
  UnitTB,        // 单选框TB
  // Time group
  TimeFilter,    // 选择框按时间筛选
  TimeCreated,   // 单选框创建
  TimeModified,  // 单选框修改
  TimeAccessed,  // 单选框访问
  CompareDate,   // 单选框年月日
  CompareTime,   // 单选框时分秒
  CompareBoth,   // 单选框两者
  // Duplicate group
  DuplicateFilter,  // 选择框按重复筛选
  DupByMd5,         // 单选框MD5
  DupByLength,      // 单选框长度
  DupByName,        // 单选框名称
  DupByText,        // 单选框文本
  DupBySimilarity,  // 单选框相似
  DupOne,           // 单选框一重复文件
  DupAll,           // 单选框全部重复文件
  DupAllButOne,     // 单选框全部减一重复文件
  // Walk scope
  ScopeTree,    // 单选框遍历子目录
  ScopeThis,    // 单选框仅该目录
  ScopeLevels,  // 单选框遍历层次
  // Reading
  GuessEncodings,  // 选择框猜测编码: guess the legacy encoding of text that is not UTF-8
};
inline constexpr int kCheckCount = static_cast<int>(Check::GuessEncodings) + 1;

// Every text option. Texts are UTF-8 with "\n" line breaks.
enum class Field {
  ContentPattern,  // 编辑框筛选内容
  LengthFrom,      // 编辑框长度起始
  LengthTo,        // 编辑框长度终止
  TimeFrom,        // 编辑框时间起始
  TimeTo,          // 编辑框时间终止
  Levels,          // 编辑框层次
  NameMask,        // 编辑框过滤
  FilterFolder,    // tag of 按钮开始筛选: the folder chosen last
  MoveFolder,      // tag of 按钮移动
  CopyFolder,      // tag of 按钮复制
  Similarity,      // 编辑框相似度: the resemblance 单选框相似 asks for, in percent
};
inline constexpr int kFieldCount = static_cast<int>(Field::Similarity) + 1;

// The control's object name, such as "选择框按内容筛选".
const char* ObjectName(Check check);
const char* ObjectName(Field field);

class OptionControls {
 public:
  virtual ~OptionControls() = default;

  // Ticked check box or selected radio button.
  virtual bool IsChecked(Check check) const = 0;
  // Ticks or selects. Selecting a radio button deselects the others of its group;
  // deselecting the selected radio button of a group does nothing, as with the
  // window's radio groups.
  virtual void SetChecked(Check check, bool on) = 0;
  // The caption as it reads now in the Chinese window (also when the window shows
  // another language); the unit buttons read "B".."TB" or "个".."万" depending on the
  // measure. The settings file stores each flag under it.
  virtual std::string Caption(Check check) const = 0;

  virtual std::string Text(Field field) const = 0;
  virtual void SetText(Field field, const std::string& text) = 0;

  // Selected index of 组合框匹配模式: 0 "默认", 1 "通配", 2 "正则".
  virtual int MatchModeIndex() const = 0;
  virtual void SetMatchModeIndex(int index) = 0;

  // Grows with every change of an option: a job that keeps a copy of the options reads
  // them again only when this differs from the value it saw when it copied them.
  virtual std::uint64_t Revision() const = 0;
};

}  // namespace tarnwick
