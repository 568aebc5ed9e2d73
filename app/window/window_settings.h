#pragma once
// The window's options in the settings file: the store stays open for the whole run;
// the options are restored once at start-up and saved on close and on "保存配置".

#include <QString>
#include <functional>
#include <string>

#include "engine/job/option_controls.h"
#include "settings/settings_store.h"

namespace tarnwick {

struct WindowPlatform;

class WindowSettings final : public MessageSink {
 public:
  // Opens `path` (created when missing). The store's own messages go to the user
  // through `platform`, which must outlive this object.
  WindowSettings(const std::string& path, const WindowPlatform& platform);
  ~WindowSettings() override;

  // Restores every option; `afterLevels` runs between the options and the remembered
  // folders (the enable rules and unit captions go there).
  void Load(OptionControls& options, const std::function<void()>& afterLevels);
  // True when the file now holds the options; otherwise `error` says why.
  bool Save(const OptionControls& options, QString* error);

  const std::string& Path() const { return store_.Path(); }

  void Show(const std::string& text, const std::string& title, bool exclamationIcon) override;

 private:
  const WindowPlatform& platform_;
  SettingsStore store_;
};

}  // namespace tarnwick
