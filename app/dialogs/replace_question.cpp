#include "app/dialogs/replace_question.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace tarnwick {
namespace {

QString Translated(const char* source) {
  return QCoreApplication::translate("ReplaceQuestion", source);
}

}  // namespace

QString ReplaceQuestionText(const QString& existing, const QString& incoming) {
  return QCoreApplication::translate("ReplaceQuestion",
                                     "目标目录中已有同名文件：\n%1\n\n要用这个文件替换它吗？\n%2")
      .arg(existing, incoming);
}

ReplaceAnswer AskReplaceDialog(const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::Question, title, text);
  box.setWindowModality(Qt::ApplicationModal);
  const std::pair<const char*, ReplaceAnswer> choices[] = {
      {QT_TRANSLATE_NOOP("ReplaceQuestion", "替换"), ReplaceAnswer::Replace},
      {QT_TRANSLATE_NOOP("ReplaceQuestion", "全部替换"), ReplaceAnswer::ReplaceAll},
      {QT_TRANSLATE_NOOP("ReplaceQuestion", "跳过"), ReplaceAnswer::Skip},
      {QT_TRANSLATE_NOOP("ReplaceQuestion", "全部跳过"), ReplaceAnswer::SkipAll},
  };
  QList<std::pair<QAbstractButton*, ReplaceAnswer>> buttons;
  for (const auto& [caption, answer] : choices) {
    const auto role = answer == ReplaceAnswer::Replace || answer == ReplaceAnswer::ReplaceAll
                          ? QMessageBox::AcceptRole
                          : QMessageBox::RejectRole;
    buttons.append({box.addButton(Translated(caption), role), answer});
  }
  QPushButton* cancel = box.addButton(Translated(QT_TRANSLATE_NOOP("ReplaceQuestion", "取消")),
                                      QMessageBox::RejectRole);
  box.setEscapeButton(cancel);
  // Skipping is what leaves every file as it is; it is the button Enter presses.
  box.setDefaultButton(qobject_cast<QPushButton*>(buttons[2].first));
  box.exec();
  for (const auto& [button, answer] : buttons) {
    if (box.clickedButton() == button) return answer;
  }
  return ReplaceAnswer::Cancel;
}

}  // namespace tarnwick
