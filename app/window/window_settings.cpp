#include "app/window/window_settings.h"

#include <QCoreApplication>

#include "app/window/window_platform.h"
#include "settings/settings_file.h"

namespace tarnwick {
namespace {

// The settings store's own messages and titles.
constexpr const char* kStoreTexts[] = {
    QT_TRANSLATE_NOOP("tarnwick::WindowSettings",
                      "配置模块出现意外，可能导致无法正常保存！详情请咨询Brellin。"),
    QT_TRANSLATE_NOOP("tarnwick::WindowSettings", "Brellin："),
    QT_TRANSLATE_NOOP("tarnwick::WindowSettings", "信息："),
};

// A text of the store in the window's language; any other text (the settings file's
// own content) as it is.
QString StoreText(const std::string& text) {
  for (const char* known : kStoreTexts) {
    if (text == known) return QCoreApplication::translate("tarnwick::WindowSettings", known);
  }
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

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
  platform_.showMessage(StoreText(text), QMessageBox::Ok, StoreText(title),
                        exclamationIcon ? QMessageBox::Warning : QMessageBox::NoIcon);
}

}  // namespace tarnwick
