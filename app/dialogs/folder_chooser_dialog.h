#pragma once
// The folder chooser: a dialog of the program's own, because Qt's does not list a folder
// whose name is not UTF-8 (GBK names from old archives) and refuses its path when typed.
// It lists the folders of one folder at a time, shown as the window shows names and kept
// as their bytes, takes a typed path (decoded names accepted), and makes new folders.

#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarnwick {

class FolderChooserDialog final : public QDialog {
  Q_OBJECT

 public:
  // Starts in `initialFolder` (a chooser's answer or a path as Qt names it; the home
  // folder when it names no folder) with `prompt` above the list.
  FolderChooserDialog(const QString& initialFolder, const QString& prompt,
                      QWidget* parent = nullptr);

  // The folder whose subfolders are listed, and the list.
  const std::string& Folder() const { return folder_; }
  QListWidget* List() const { return list_; }

  // Lists the subfolders of `folder` (bytes); nothing selected.
  void Open(const std::string& folder);
  // Makes the folder `name` in the folder listed and selects it. False, with the reason
  // under the list, when it cannot be made.
  bool CreateFolder(const QString& name);

  // The folder chosen (its bytes) once the dialog has been accepted.
  const std::optional<std::string>& Chosen() const { return chosen_; }

 private:
  // The path box shows `bytes`, which it stands for until the user edits it.
  void ShowPath(const std::string& bytes);
  // The folder the path box names now, if any.
  std::optional<std::string> PathInBox() const;
  void PathEdited();
  void SelectionChanged();
  void EnterSelected();
  void AskNewFolder();
  void Choose();

  std::string folder_;
  std::optional<std::string> boxBytes_;  // what the path box stands for, while not edited
  std::optional<std::string> chosen_;
  QLineEdit* pathBox_;
  QListWidget* list_;
  QLabel* notice_;
  QPushButton* chooseButton_;
};

// Runs the chooser modally. Returns the chosen folder as FolderAnswerText gives it (so
// that FolderOnDisk finds its bytes again), or "" when the user cancels.
QString ChooseFolderDialog(const QString& initialFolder, const QString& prompt);

}  // namespace tarnwick
