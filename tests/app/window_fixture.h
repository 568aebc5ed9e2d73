#pragma once
// Test helpers for the main window: a scripted user in place of the dialogs, message
// boxes and keyboard, and lookups of controls by object name.

#include <QByteArray>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTest>
#include <functional>
#include <initializer_list>
#include <memory>

#include "app/window/main_window.h"
#include "engine/job/filter_options.h"
#include "recorded_message.h"

namespace tarnwick::testing {

struct ScriptedUser {
  QStringList messages;          // every message shown, in order
  QList<RecordedMessage> boxes;  // the same messages with their buttons, title and icon
  QString folderToChoose;        // the chooser's answer ("" = cancel)
  int folderRequests = 0;
  QStringList initialFolders;           // where each chooser started
  std::function<void()> whileChoosing;  // runs inside the chooser
  QString exportFile;                   // the save dialog's answer
  // The answer to "replace the file in the destination?"; each question asked.
  ReplaceAnswer replaceAnswer = ReplaceAnswer::Cancel;
  QStringList replaceQuestions;
  bool ctrlHeld = false;

  WindowPlatform Platform();
};

// Opens the main window; its digest cache lives in a temporary folder of the test program.
std::unique_ptr<MainWindow> OpenWindow(const QString& settingsPath, ScriptedUser& user);

template <typename T>
T* Control(QWidget* window, const char* name) {
  T* widget = window->findChild<T*>(QString::fromUtf8(name));
  if (!widget) qFatal("no control %s", name);
  return widget;
}

// Creates the file (and its folders) with these bytes.
void WriteFile(const QString& path, const QByteArray& bytes);
// The same for a path given as raw bytes (names that are not UTF-8).
void WriteRawFile(const std::string& path, const std::string& bytes);
QByteArray ReadFile(const QString& path);

// UTF-8 literals as a string list.
QStringList Texts(std::initializer_list<const char*> texts);

// The options as a plain value, for comparisons.
FilterOptions Snapshot(const OptionControls& options);

}  // namespace tarnwick::testing
