#include "app/window_settings.h"

#include "app/window_platform.h"
#include "settings/settings_file.h"

namespace tarnwick {

WindowSettings::WindowSettings(const std::string& path, const WindowPlatform& platform)
    : platform_(platform) {
  store_.SetMessageSink(this);
  store_.Open(path);
}

WindowSettings::~WindowSettings() { store_.SetMessageSink(nullptr); }

void WindowSettings::Load(OptionControls& options, const std::function<void()>& afterLevels) {
  LoadSettings(store_, options, afterLevels);
}

bool WindowSettings::Save(const OptionControls& options, QString* error) {
  if (SaveSettings(store_, options)) return true;
  if (error) {
    const std::string& reason = store_.LastError();
    *error = reason.empty()
                 ? QString::fromStdString(store_.Path())
                 : QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size()));
  }
  return false;
}

void WindowSettings::Show(const std::string& text, const std::string& title, bool exclamationIcon) {
  platform_.showMessage(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                        QMessageBox::Ok,
                        QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                        exclamationIcon ? QMessageBox::Warning : QMessageBox::NoIcon);
}

}  // namespace tarnwick
