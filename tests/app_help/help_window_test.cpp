// The help dialog and the time field editor in a window: the dialog opens once and keeps
// its close button in place; the editor turns clicks, keys, the wheel and the spin
// buttons into the editing rules.

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <memory>

#include "app/dialogs/help_dialog.h"
#include "app/time_field/time_field_edit.h"

namespace {

QList<QDialog*> VisibleHelpDialogs() {
  QList<QDialog*> dialogs;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(widget);
    if (dialog && dialog->isVisible() && dialog->objectName() == QStringLiteral("疑点说明窗口"))
      dialogs.append(dialog);
  }
  return dialogs;
}

// Closes every open help dialog, so a faulty test cannot leave a modal loop running.
void CloseHelpDialogsLater(int afterMs) {
  QTimer::singleShot(afterMs, [] {
    for (QDialog* dialog : VisibleHelpDialogs()) dialog->reject();
  });
}

}  // namespace

class HelpWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void helpDialogOpensOnceReadOnlyWithItsCloseButtonAtTheBottomRight() {
    bool inspected = false;
    QTimer::singleShot(0, [&inspected] {
      QCOMPARE(VisibleHelpDialogs().size(), 1);
      QDialog* dialog = VisibleHelpDialogs().front();
      ShowHelpDialog(nullptr);  // must return at once
      QCOMPARE(VisibleHelpDialogs().size(), 1);

      auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("编辑框正文"));
      QVERIFY(text->isReadOnly());
      const QString help = text->toPlainText();
      QVERIFY(!help.isEmpty());
      QTest::keyClicks(text, QStringLiteral("abc"));
      QTest::keyClick(text, Qt::Key_Delete);
      QCOMPARE(text->toPlainText(), help);

      // After a resize the close button keeps to the bottom right corner, under the text.
      auto* close = dialog->findChild<QPushButton*>(QStringLiteral("按钮取消"));
      QVERIFY(close->isDefault());
      dialog->resize(720, 520);
      QApplication::processEvents();
      QCOMPARE(dialog->width() - close->geometry().right() - 1, 5);
      QVERIFY(dialog->height() - close->geometry().bottom() - 1 <= 10);
      QCOMPARE(text->width(), 720 - 10);
      QVERIFY(text->geometry().bottom() < close->geometry().top());

      inspected = true;
      QTest::mouseClick(close, Qt::LeftButton);
    });
    CloseHelpDialogsLater(5000);
    ShowHelpDialog(nullptr);
    QVERIFY(inspected);
    QVERIFY(VisibleHelpDialogs().isEmpty());
  }

  void helpDialogOpensAgainAfterItWasClosedWithTheCloseBox() {
    int opened = 0;
    QTimer::singleShot(0, [&opened] {
      const QList<QDialog*> dialogs = VisibleHelpDialogs();
      opened = dialogs.size();
      for (QDialog* dialog : dialogs) dialog->close();
    });
    CloseHelpDialogsLater(5000);
    ShowHelpDialog(nullptr);
    QCOMPARE(opened, 1);
    QVERIFY(VisibleHelpDialogs().isEmpty());
  }

  void init() {
    field_ = std::make_unique<TimeFieldEdit>();
    field_->setText(QStringLiteral("2012-12-21 12:34:56"));
    field_->show();
    QVERIFY(QTest::qWaitForWindowExposed(field_.get()));
    edit_ = field_->findChild<QLineEdit*>();
    QVERIFY(edit_);
  }

  void cleanup() { field_.reset(); }

  void timeFieldClicksKeysAndSpinButtonsStepTheSelectedPart() {
    ClickAtCharacter(15);
    QCOMPARE(edit_->selectedText(), QStringLiteral("34"));
    ClickAtCharacter(6);  // the month, 12
    QTest::keyClick(field_.get(), Qt::Key_Up);
    QCOMPARE(field_->text(), QStringLiteral("2012-01-21 12:34:56"));
    QCOMPARE(edit_->selectedText(), QStringLiteral("01"));
    QTest::keyClick(field_.get(), Qt::Key_Down);
    QCOMPARE(field_->text(), QStringLiteral("2012-12-21 12:34:56"));

    QTest::keyClick(field_.get(), Qt::Key_Right);
    ClickSpinButton(QStyle::SC_SpinBoxUp);
    QCOMPARE(field_->text(), QStringLiteral("2012-12-22 12:34:56"));
    QCOMPARE(edit_->selectedText(), QStringLiteral("22"));

    for (int i = 0; i < 3; ++i) QTest::keyClick(field_.get(), Qt::Key_Left);
    QCOMPARE(edit_->selectedText(), QStringLiteral("56"));
    ClickSpinButton(QStyle::SC_SpinBoxDown);
    QCOMPARE(field_->text(), QStringLiteral("2012-12-22 12:34:55"));
    QTest::keyClick(field_.get(), Qt::Key_PageUp);
    QCOMPARE(field_->text(), QStringLiteral("2012-12-22 12:34:55"));
  }

  void timeFieldWheelMovesBetweenParts() {
    ClickAtCharacter(0);
    Turn(120);  // away from the user
    QCOMPARE(edit_->selectedText(), QStringLiteral("56"));
    Turn(-60);  // towards the user, half a notch at a time
    QCOMPARE(edit_->selectedText(), QStringLiteral("56"));
    Turn(-60);
    QCOMPARE(edit_->selectedText(), QStringLiteral("2012"));
    QCOMPARE(field_->text(), QStringLiteral("2012-12-21 12:34:56"));
  }

  void timeFieldTypesOnlyDigitsOfTheMainKeyboard() {
    ClickAtCharacter(12);  // the hour
    QTest::keyClick(field_.get(), Qt::Key_7, Qt::KeypadModifier);
    QTest::keyClick(field_.get(), Qt::Key_A);
    QCOMPARE(field_->text(), QStringLiteral("2012-12-21 12:34:56"));
    QTest::keyClick(field_.get(), Qt::Key_0);
    QTest::keyClick(field_.get(), Qt::Key_9);
    QCOMPARE(field_->text(), QStringLiteral("2012-12-21 09:34:56"));
    QCOMPARE(edit_->selectedText(), QStringLiteral("09"));
  }

  void timeFieldKeepsItsTextOnEnterAndFocusLoss() {
    field_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(field_.get()));
    field_->setFocus();
    QVERIFY(field_->hasFocus());
    ClickAtCharacter(6);
    QTest::keyClick(field_.get(), Qt::Key_Return);
    field_->clearFocus();
    QVERIFY(!field_->hasFocus());
    QApplication::processEvents();
    QCOMPARE(field_->text(), QStringLiteral("2012-12-21 12:34:56"));
  }

  void timeFieldTextNotInTheFixedFormIsKeptUntilChanged() {
    for (const QString& odd :
         {QStringLiteral("2012/12/21"), QString(), QStringLiteral("2012年12月21日12时12分12秒")}) {
      field_->setText(odd);
      QCOMPARE(field_->text(), odd);
      ClickAtCharacter(0);
      QTest::keyClick(field_.get(), Qt::Key_Right);
      QCOMPARE(field_->text(), odd);

      field_->setText(odd);
      QTest::keyClick(field_.get(), Qt::Key_Up);
      const QString changed = field_->text();
      QVERIFY2(tarnwick::IsFixedTimeForm(changed.toStdString()), qPrintable(changed));
      QVERIFY(changed.contains(edit_->selectedText()));
      QVERIFY(edit_->selectedText().size() == 2 || edit_->selectedText().size() == 4);
    }
  }

 private:
  void ClickAtCharacter(int position) {
    const int y = edit_->height() / 2;
    for (int x = 0; x < edit_->width(); ++x) {
      if (edit_->cursorPositionAt(QPoint(x, y)) == position) {
        QTest::mouseClick(edit_, Qt::LeftButton, Qt::NoModifier, QPoint(x + 1, y));
        return;
      }
    }
    QFAIL("no point of the field places the caret there");
  }

  void ClickSpinButton(QStyle::SubControl button) {
    QStyleOptionSpinBox option;
    option.initFrom(field_.get());
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option.frame = true;
    const QRect area =
        field_->style()->subControlRect(QStyle::CC_SpinBox, &option, button, field_.get());
    QTest::mouseClick(field_.get(), Qt::LeftButton, Qt::NoModifier, area.center());
  }

  void Turn(int angle) {
    const QPointF centre(field_->width() / 2.0, field_->height() / 2.0);
    QWheelEvent wheel(centre, field_->mapToGlobal(centre), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(field_.get(), &wheel);
  }

  std::unique_ptr<TimeFieldEdit> field_;
  QLineEdit* edit_ = nullptr;
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
