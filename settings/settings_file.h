#pragma once
// The main window's options in the settings file, section "主界面".
//
// Every option is stored in a fixed order: flags under the control's caption as it
// reads at that moment (so the five unit buttons are stored under "B".."TB" while
// 单选框文件大小 is selected and under "个".."万" otherwise), the edit-box texts, the
// number "匹配模式" and the three remembered folders ("筛选目录", "移动目录",
// "复制目录"); after them the keys added since: the flags "文本" and "相似" and the text
// "相似度". Line breaks are "\n" in the controls and CR LF in the store.
//
// What round-trips through Save then Load: every flag, text, the match mode and the
// folders; the unit button round-trips when the measure is the file size. Saved with
// the character count as the measure, the unit is stored under "个".."万" while
// loading reads "B".."TB" (the captions the window is created with), so the unit
// restored is the one last saved under the file-size measure, or the one the controls
// already hold.

#include <functional>

#include "engine/job/option_controls.h"
#include "settings/settings_store.h"

namespace tarnwick {

inline constexpr const char* kMainWindowSection = "主界面";

// Writes every option into the store and commits. True when the file now holds them;
// false when a write or the commit failed (store.LastError() tells why after a failed
// commit). The caller reports a false result instead of "保存完毕！".
bool SaveSettings(SettingsStore& store, const OptionControls& options);

// Reads every option from the store into options, each with the option's present
// value as the default, so a missing key leaves its option unchanged. The unit buttons
// are read under "B".."TB" whatever their captions now read. afterLevels runs after
// "层次" and before "筛选目录": the window applies its enable rules and unit captions
// there (may be empty).
void LoadSettings(SettingsStore& store, OptionControls& options,
                  const std::function<void()>& afterLevels);

}  // namespace tarnwick
