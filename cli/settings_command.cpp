#include "cli/settings_command.h"

#include <sys/stat.h>

#include "cli/messages.h"
#include "settings/settings_file.h"

namespace tarnwick::cli {
namespace {

// The store's own messages (such as a file it refuses to edit) go to standard error.
class StderrSink final : public MessageSink {
 public:
  void Show(const std::string& text, const std::string&, bool) override { ReportError(text); }
};

StderrSink gSink;

}  // namespace

std::string RestoreSettings(SettingsStore& store, const std::string& path, bool createMissing,
                            OptionControls& options) {
  struct stat info {};
  if (!createMissing && ::stat(path.c_str(), &info) != 0) return "no such settings file: " + path;
  store.SetMessageSink(&gSink);
  if (!store.Open(path)) return "cannot read the settings file " + path;
  LoadSettings(store, options, {});
  return "";
}

std::string SaveSettingsFile(SettingsStore& store, const OptionControls& options) {
  if (SaveSettings(store, options)) return "";
  const std::string& reason = store.LastError();
  return "the settings were not saved: " + (reason.empty() ? store.Path() : reason);
}

}  // namespace tarnwick::cli
