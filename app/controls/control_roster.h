#pragma once
// The main window's controls as data: object name, kind, container, caption and
// initial geometry. The window builder creates them from this table in table order, so
// a container always comes before what it holds.

#include <QtGlobal>
#include <span>

namespace tarnwick {

enum class ControlKind {
  Panel,        // 图片框: a plain container
  GroupFrame,   // 分组框: a frame with its title check box laid on the border
  Label,        // 标签
  CheckBox,     // 选择框
  RadioButton,  // 单选框
  LineEdit,     // 编辑框, one line
  TextEdit,     // 编辑框, several lines
  TimeField,    // 编辑框时间起始 / 编辑框时间终止
  ComboBox,     // 组合框
  Button,       // 按钮
  ProgressBar,  // 进度条
  LinkText,     // 文字…: a caption that acts when the left button is pressed on it
  LinkPicture,  // 图片…: a picture that acts when clicked
};

struct ControlSpec {
  const char* name;  // object name
  ControlKind kind;
  const char* container;  // object name of the container; nullptr for the window
  const char* caption;    // caption (a source of ControlCaption) or initial text (UTF-8)
  int left, top, width, height;
  bool on;  // initially ticked / selected
};

std::span<const ControlSpec> ControlRoster();

// Object names the window code refers to directly.
namespace control {
inline constexpr const char* kStartButton = "按钮开始筛选";
inline constexpr const char* kResultList = "列表框";
inline constexpr const char* kStatusBar = "状态条";
inline constexpr const char* kCountLabel = "标签筛选计数";  // beside the status line
inline constexpr const char* kProgressBar = "进度条";
inline constexpr const char* kProgressText = "进度提示";
inline constexpr const char* kTimer = "时钟筛选提示";
inline constexpr const char* kBanner = "图片框横幅";
inline constexpr const char* kBannerLine = "标签横幅";
inline constexpr const char* kBannerTitle = "标签横幅标题";  // the banner's decoration
inline constexpr const char* kWalkPanel = "图片框列表操作";
inline constexpr const char* kDuplicateGroup = "分组框重复";
inline constexpr const char* kPasteButton = "按钮粘贴";
inline constexpr const char* kSelectAllButton = "按钮全选";
inline constexpr const char* kExportButton = "按钮导出";
inline constexpr const char* kMatchMode = "组合框匹配模式";
inline constexpr const char* kSaveText = "文字保存配置";
inline constexpr const char* kSavePicture = "图片保存配置";
inline constexpr const char* kHelpText = "文字疑点说明";
inline constexpr const char* kHelpPicture = "图片疑点说明";
}  // namespace control

// Captions of 按钮开始筛选 (sources of ControlCaption): idle, while a job runs, and after
// a stop was asked for until the job has ended.
inline constexpr const char* kStartCaptionIdle =
    QT_TRANSLATE_NOOP("Controls", "  选择目录开始筛选");
inline constexpr const char* kStartCaptionRunning =
    QT_TRANSLATE_NOOP("Controls", "  立即停止筛选！");
inline constexpr const char* kStartCaptionStopping =
    QT_TRANSLATE_NOOP("Controls", "  正在停止筛选..");

}  // namespace tarnwick
