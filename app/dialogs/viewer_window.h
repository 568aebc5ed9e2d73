#pragma once
// The viewer: a window of its own, owned by the main window and not modal, that shows
// one file's decoded text in a single edit box filling the window, with the encoding it
// was read in in the title.

#include <QWidget>
#include <string>

class QPlainTextEdit;

namespace tarnwick {

class ViewerWindow final : public QWidget {
  Q_OBJECT

 public:
  // Placed at 50, 50 with 559 × 452, as a separate window over `owner`.
  explicit ViewerWindow(QWidget* owner);

  // Loads the file with its encoding detected (a legacy one guessed with
  // `guessEncodings`) and shows its text; the title becomes "(编码:" + the encoding's
  // display name + ") " + the file name. A file that cannot be read shows empty text as
  // "ANSI".
  void ShowFile(const std::string& path, bool guessEncodings);

  QPlainTextEdit* TextBox() const { return edit_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPlainTextEdit* edit_;
};

}  // namespace tarnwick
