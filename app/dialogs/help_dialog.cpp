#include "app/dialogs/help_dialog.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>
#include <algorithm>

#include "app/dialogs/help_text.h"

namespace {

// Space kept between the controls and around the dialog's edges.
constexpr int kMargin = 5;

// The text dialog in its information mode: an empty prompt line, a read-only text and
// one close button. Its tool panel and confirm button exist but stay hidden.
class HelpDialog : public QDialog {
 public:
  HelpDialog() {
    setObjectName(QStringLiteral("疑点说明窗口"));
    setWindowTitle(QCoreApplication::translate("HelpDialog", "疑点说明"));
    resize(495, 393);

    prompt_ = new QLineEdit(this);
    prompt_->setObjectName(QStringLiteral("编辑框提示"));
    prompt_->setGeometry(13, 8, 395, 33);
    prompt_->setReadOnly(true);
    prompt_->setFocusPolicy(Qt::NoFocus);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("编辑框正文"));
    text_->setGeometry(5, 56, 411, 168);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_->setPlainText(HelpText());
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    toolPanel_ = new QFrame(this);
    toolPanel_->setObjectName(QStringLiteral("外形框"));
    toolPanel_->setGeometry(8, 320, 336, 34);
    AddToolButtons();
    toolPanel_->hide();

    confirm_ = new QPushButton(QCoreApplication::translate("HelpDialog", "确定"), this);
    confirm_->setObjectName(QStringLiteral("按钮确定"));
    confirm_->setGeometry(351, 328, 64, 24);
    confirm_->setAutoDefault(false);
    confirm_->hide();

    close_ = new QPushButton(QCoreApplication::translate("HelpDialog", "关闭(&G)"), this);
    close_->setObjectName(QStringLiteral("按钮取消"));
    close_->setGeometry(414, 328, 64, 24);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  }

  // Places the dialog a little above the middle of `screen`'s free area.
  void CentreOn(const QScreen& screen) {
    const QRect area = screen.availableGeometry();
    const int left = (area.width() - width()) / 2;
    const int top = (area.height() - 30) / 2 - height() / 2;
    move(area.left() + std::max(0, left), area.top() + std::max(0, top));
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QDialog::resizeEvent(event);
    LayOut(event->size().width(), event->size().height());
  }

  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    text_->setFocus(Qt::OtherFocusReason);
  }

 private:
  void AddToolButtons() {
    const struct {
      const char* name;
      const char* caption;
    } buttons[] = {{"按钮恢复", QT_TRANSLATE_NOOP("HelpDialog", "恢复")},
                   {"按钮清空", QT_TRANSLATE_NOOP("HelpDialog", "清空")},
                   {"按钮粘贴", QT_TRANSLATE_NOOP("HelpDialog", "粘贴")},
                   {"按钮文件", QT_TRANSLATE_NOOP("HelpDialog", "文件")},
                   {"按钮文件名", QT_TRANSLATE_NOOP("HelpDialog", "文件名")}};
    int left = 0;
    for (const auto& button : buttons) {
      auto* tool =
          new QPushButton(QCoreApplication::translate("HelpDialog", button.caption), toolPanel_);
      tool->setObjectName(QString::fromUtf8(button.name));
      tool->setGeometry(left, 5, 64, 24);
      tool->setAutoDefault(false);
      left += 67;
    }
  }

  // The prompt across the top (no height while it is empty), the text filling the
  // middle, the tool panel below it along the bottom edge, and the buttons at the right
  // end of the panel's row.
  void LayOut(int width, int height) {
    const int innerWidth = std::max(0, width - 2 * kMargin);
    prompt_->setGeometry(kMargin, kMargin, innerWidth, 0);

    const int textTop = kMargin + prompt_->height() + kMargin;
    const int textHeight = std::max(0, height - textTop - toolPanel_->height());
    text_->setGeometry(kMargin, textTop, innerWidth, textHeight);

    const int panelTop = textTop + textHeight;
    toolPanel_->move(kMargin, panelTop);

    const int buttonTop = panelTop + (toolPanel_->height() - close_->height()) / 2;
    close_->move(width - kMargin - close_->width(), buttonTop);
    confirm_->move(close_->x() - confirm_->width(), buttonTop);
  }

  QLineEdit* prompt_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  QFrame* toolPanel_ = nullptr;
  QPushButton* confirm_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace

void ShowHelpDialog(QWidget* mainWindow) {
  static bool open = false;
  if (open) return;
  open = true;
  const auto reopenable = qScopeGuard([] { open = false; });

  HelpDialog dialog;
  const QScreen* screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
  if (screen) dialog.CentreOn(*screen);
  dialog.exec();
}
