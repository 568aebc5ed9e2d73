#pragma once
// The settings file on the command line: --settings FILE restores every option before
// the flags apply; --save-settings writes the options back as "保存配置" does.

#include <string>

#include "engine/job/option_controls.h"
#include "settings/settings_store.h"

namespace tarnwick::cli {

// Opens `path` in `store` and restores every option from it into `options`. When
// `createMissing` is false a missing file is an error: a mistyped path must not quietly
// run the job with the initial options. Returns an empty text, or what went wrong.
std::string RestoreSettings(SettingsStore& store, const std::string& path, bool createMissing,
                            OptionControls& options);

// Writes every option into the file open in `store`, which is replaced whole or not at
// all. Returns an empty text, or why the file does not hold the options.
std::string SaveSettingsFile(SettingsStore& store, const OptionControls& options);

}  // namespace tarnwick::cli
