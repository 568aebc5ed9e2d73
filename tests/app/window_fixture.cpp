#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

namespace tarnwick::testing {

WindowPlatform ScriptedUser::Platform() {
  WindowPlatform platform;
  platform.showMessage = [this](const QString& text, QMessageBox::StandardButtons buttons,
                                const QString& title, QMessageBox::Icon icon) {
    messages << text;
    boxes << RecordedMessage{text, buttons, title, icon};
    return QMessageBox::Ok;
  };
  platform.chooseFolder = [this](const QString& initialFolder, const QString&) {
    ++folderRequests;
    initialFolders << initialFolder;
    if (whileChoosing) whileChoosing();
    return folderToChoose;
  };
  platform.chooseExportFile = [this] { return exportFile; };
  platform.isCtrlHeld = [this] { return ctrlHeld; };
  platform.askReplace = [this](const QString& text) {
    replaceQuestions << text;
    return replaceAnswer;
  };
  return platform;
}

std::unique_ptr<MainWindow> OpenWindow(const QString& settingsPath, ScriptedUser& user) {
  // The window's digest cache goes to a folder of this test program, never the user's.
  static const QTemporaryDir cacheHome;
  qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
  auto window =
      std::make_unique<MainWindow>(QFile::encodeName(settingsPath).toStdString(), user.Platform());
  window->show();
  return window;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
  file.write(bytes);
}

void WriteRawFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll();
}

QStringList Texts(std::initializer_list<const char*> texts) {
  QStringList list;
  for (const char* text : texts) list << QString::fromUtf8(text);
  return list;
}

FilterOptions Snapshot(const OptionControls& options) {
  FilterOptions value;
  for (int i = 0; i < kCheckCount; ++i) {
    const auto check = static_cast<Check>(i);
    // Select first so that a radio button read as off cannot deselect its group.
    if (options.IsChecked(check)) value.SetChecked(check, true);
  }
  for (int i = 0; i < kCheckCount; ++i) {
    const auto check = static_cast<Check>(i);
    if (!options.IsChecked(check)) value.SetChecked(check, false);
  }
  for (int i = 0; i < kFieldCount; ++i) {
    const auto field = static_cast<Field>(i);
    value.SetText(field, options.Text(field));
  }
  value.SetMatchModeIndex(options.MatchModeIndex());
  return value;
}

}  // namespace tarnwick::testing
