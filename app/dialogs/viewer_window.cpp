#include "app/dialogs/viewer_window.h"

#include <QPlainTextEdit>

#include "app/list/path_display_text.h"
#include "results/path_parts.h"
#include "text/program_text.h"
#include "text/text_loader.h"

namespace tarnwick {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ViewerWindow::ViewerWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
  setGeometry(50, 50, 559, 452);
  edit_ = new QPlainTextEdit(this);
  edit_->setObjectName(QStringLiteral("编辑框"));
  edit_->setGeometry(0, 0, 552, 376);
  edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The text is shown, never saved: typing into it would only mislead.
  edit_->setReadOnly(true);
}

void ViewerWindow::ShowFile(const std::string& path, bool guessEncodings) {
  const DecodedText decoded = LoadTextFile(path, guessEncodings);
  edit_->setPlainText(FromUtf8(Gb18030ToUtf8(decoded.text)));
  setWindowTitle(tr("(编码:%1) %2")
                     .arg(QString::fromUtf8(DisplayName(decoded.encoding)),
                          PathDisplayText(FileNamePart(path))));
}

void ViewerWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  edit_->setGeometry(rect());
}

}  // namespace tarnwick
