#include "app/control_roster.h"

namespace tarnwick {
namespace {

using K = ControlKind;

// Containers come before their contents. Positions are relative to the container.
constexpr ControlSpec kRoster[] = {
    // Banner with its two link pairs and the underline.
    {"图片框横幅", K::Panel, nullptr, "", 0, 0, 1000, 90, false},
    {"图片保存配置", K::LinkPicture, "图片框横幅", "", 808, 10, 64, 48, false},
    {"文字保存配置", K::LinkText, "图片框横幅", "保存配置", 808, 60, 64, 20, false},
    {"图片疑点说明", K::LinkPicture, "图片框横幅", "", 888, 10, 64, 48, false},
    {"文字疑点说明", K::LinkText, "图片框横幅", "疑点说明", 888, 60, 64, 20, false},
    {"标签横幅", K::Label, nullptr, "", 0, 88, 1200, 2, false},

    // Content group.
    {"分组框内容", K::GroupFrame, nullptr, "", 10, 104, 360, 152, false},
    {"选择框按内容筛选", K::CheckBox, "分组框内容", "按内容筛选", 10, 0, 92, 18, false},
    {"标签1", K::Label, "分组框内容", "筛选类型：", 12, 26, 72, 20, false},
    {"单选框包含内容", K::RadioButton, "分组框内容", "包含内容", 86, 26, 90, 20, true},
    {"单选框不含内容", K::RadioButton, "分组框内容", "不含内容", 180, 26, 90, 20, false},
    {"标签2", K::Label, "分组框内容", "筛选对象：", 12, 52, 72, 20, false},
    {"选择框文件名", K::CheckBox, "分组框内容", "文件名", 86, 52, 90, 20, true},
    {"选择框文件内容", K::CheckBox, "分组框内容", "文件内容", 180, 52, 90, 20, false},
    {"标签5", K::Label, "分组框内容", "筛选内容：", 12, 80, 72, 20, false},
    {"编辑框筛选内容", K::TextEdit, "分组框内容", "多组内容以|隔开", 86, 80, 136, 49, false},
    {"组合框匹配模式", K::ComboBox, "分组框内容", "", 232, 80, 72, 22, false},
    {"按钮粘贴", K::Button, "分组框内容", "粘贴", 232, 106, 72, 24, false},

    // Length group.
    {"分组框长度", K::GroupFrame, nullptr, "", 10, 264, 360, 158, false},
    {"选择框按长度筛选", K::CheckBox, "分组框长度", "按长度筛选", 10, 0, 92, 18, false},
    {"标签4", K::Label, "分组框长度", "筛选预备：", 12, 26, 72, 20, false},
    {"选择框清除网页标签", K::CheckBox, "分组框长度", "清除网页标签", 86, 26, 112, 20, false},
    {"选择框清除空行空格", K::CheckBox, "分组框长度", "清除空行空格", 204, 26, 112, 20, false},
    {"标签3", K::Label, "分组框长度", "筛选对象：", 12, 54, 72, 20, false},
    {"单选框文件大小", K::RadioButton, "分组框长度", "文件大小", 86, 54, 90, 20, true},
    {"单选框内容字数", K::RadioButton, "分组框长度", "内容字数", 204, 54, 90, 20, false},
    {"标签8", K::Label, "分组框长度", "长度范围：", 12, 84, 72, 20, false},
    {"编辑框长度起始", K::LineEdit, "分组框长度", "5", 86, 83, 96, 22, false},
    {"标签10", K::Label, "分组框长度", "到", 188, 84, 20, 20, false},
    {"编辑框长度终止", K::LineEdit, "分组框长度", "10", 210, 83, 96, 22, false},
    {"标签9", K::Label, "分组框长度", "长度单位：", 12, 116, 72, 20, false},
    {"图片框3", K::Panel, "分组框长度", "", 82, 112, 270, 28, false},
    {"单选框B", K::RadioButton, "图片框3", "B", 4, 4, 48, 20, false},
    {"单选框KB", K::RadioButton, "图片框3", "KB", 56, 4, 50, 20, true},
    {"单选框MB", K::RadioButton, "图片框3", "MB", 108, 4, 50, 20, false},
    {"单选框GB", K::RadioButton, "图片框3", "GB", 160, 4, 50, 20, false},
    {"单选框TB", K::RadioButton, "图片框3", "TB", 212, 4, 50, 20, false},

    // Time group.
    {"分组框长度1", K::GroupFrame, nullptr, "", 8, 432, 360, 160, false},
    {"选择框按时间筛选", K::CheckBox, "分组框长度1", "按时间筛选", 10, 0, 92, 18, false},
    {"标签14", K::Label, "分组框长度1", "时间类型：", 12, 26, 72, 20, false},
    {"图片框4", K::Panel, "分组框长度1", "", 82, 22, 270, 28, false},
    {"单选框创建", K::RadioButton, "图片框4", "创建", 4, 4, 64, 20, false},
    {"单选框修改", K::RadioButton, "图片框4", "修改", 78, 4, 64, 20, true},
    {"单选框访问", K::RadioButton, "图片框4", "访问", 152, 4, 64, 20, false},
    {"标签12", K::Label, "分组框长度1", "筛选对象：", 12, 56, 72, 20, false},
    {"单选框年月日", K::RadioButton, "分组框长度1", "年月日", 86, 56, 70, 20, false},
    {"单选框时分秒", K::RadioButton, "分组框长度1", "时分秒", 160, 56, 70, 20, false},
    {"单选框两者", K::RadioButton, "分组框长度1", "两者", 234, 56, 64, 20, true},
    {"标签13", K::Label, "分组框长度1", "时间范围：", 12, 86, 72, 20, false},
    {"标签15", K::Label, "分组框长度1", "从", 86, 86, 20, 20, false},
    {"编辑框时间起始", K::TimeField, "分组框长度1", "2012-12-21 12:12:12", 108, 84, 180, 24, false},
    {"标签11", K::Label, "分组框长度1", "到", 86, 120, 20, 20, false},
    {"编辑框时间终止", K::TimeField, "分组框长度1", "2014-03-31 23:55:00", 108, 118, 180, 24,
     false},

    // Duplicate group.
    {"分组框重复", K::GroupFrame, nullptr, "", 8, 600, 360, 92, false},
    {"选择框按重复筛选", K::CheckBox, "分组框重复", "按重复筛选", 10, 0, 92, 18, false},
    {"图片框1", K::Panel, "分组框重复", "", 8, 22, 344, 28, false},
    {"标签7", K::Label, "图片框1", "筛选类型：", 4, 4, 72, 20, false},
    {"单选框MD5", K::RadioButton, "图片框1", "MD5", 78, 4, 64, 20, false},
    {"单选框长度", K::RadioButton, "图片框1", "长度", 152, 4, 64, 20, true},
    {"单选框名称", K::RadioButton, "图片框1", "名称", 226, 4, 64, 20, false},
    {"图片框2", K::Panel, "分组框重复", "", 8, 54, 344, 28, false},
    {"标签6", K::Label, "图片框2", "输出重复：", 4, 4, 72, 20, false},
    {"单选框一重复文件", K::RadioButton, "图片框2", "一", 78, 4, 64, 20, false},
    {"单选框全部重复文件", K::RadioButton, "图片框2", "全部", 152, 4, 64, 20, false},
    {"单选框全部减一重复文件", K::RadioButton, "图片框2", "全部减一", 226, 4, 90, 20, true},

    // Operation row, progress bar.
    {"按钮全选", K::Button, nullptr, "全选", 384, 112, 60, 26, false},
    {"按钮删除", K::Button, nullptr, "删除", 455, 112, 60, 26, false},
    {"按钮移动", K::Button, nullptr, "移动", 526, 112, 60, 26, false},
    {"按钮复制", K::Button, nullptr, "复制", 597, 112, 60, 26, false},
    {"按钮打开", K::Button, nullptr, "打开", 668, 112, 60, 26, false},
    {"按钮定位", K::Button, nullptr, "定位", 739, 112, 60, 26, false},
    {"按钮查看", K::Button, nullptr, "查看", 810, 112, 60, 26, false},
    {"按钮复制路径", K::Button, nullptr, "复制路径", 881, 112, 90, 26, false},
    {"按钮导出", K::Button, nullptr, "导出", 988, 112, 60, 26, false},
    {"进度条", K::ProgressBar, nullptr, "", 384, 144, 664, 24, false},
    {"进度提示", K::Label, "进度条", "", 10, 0, 644, 24, false},

    // Walk panel below the list (placed by the layout).
    {"图片框列表操作", K::Panel, nullptr, "", 384, 658, 664, 32, false},
    {"单选框仅该目录", K::RadioButton, "图片框列表操作", "仅该目录", 0, 6, 84, 20, true},
    {"单选框遍历子目录", K::RadioButton, "图片框列表操作", "遍历子目录", 86, 6, 96, 20, false},
    {"单选框遍历层次", K::RadioButton, "图片框列表操作", "遍历层次", 184, 6, 84, 20, false},
    {"编辑框层次", K::LineEdit, "图片框列表操作", "2", 268, 5, 30, 22, false},
    {"按钮开始筛选", K::Button, "图片框列表操作", kStartCaptionIdle, 304, 1, 290, 30, false},
    {"编辑框过滤", K::LineEdit, "图片框列表操作", "*.*", 600, 5, 64, 22, false},
};

}  // namespace

std::span<const ControlSpec> ControlRoster() { return kRoster; }

}  // namespace tarnwick
