#include "app/time_field/time_field_edit.h"

#include <QDate>
#include <QDateTime>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "platform/clock.h"

using tarnwick::TimePart;

namespace {

// One notch of a mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;

int CurrentYear() { return QDate::currentDate().year(); }

}  // namespace

TimeFieldEdit::TimeFieldEdit(QWidget* parent) : QAbstractSpinBox(parent) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(11);
  setFont(font);

  // Red while the field can be edited; a disabled field keeps the style's disabled
  // colours, so it looks as disabled as the controls around it.
  QPalette redText = palette();
  redText.setColor(QPalette::Active, QPalette::Text, Qt::red);
  redText.setColor(QPalette::Inactive, QPalette::Text, Qt::red);
  setPalette(redText);

  // Typing never edits the text directly: keys and clicks go through the part rules.
  lineEdit()->setReadOnly(true);
  lineEdit()->installEventFilter(this);
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
}

QString TimeFieldEdit::text() const { return lineEdit()->text(); }

void TimeFieldEdit::setText(const QString& text) { lineEdit()->setText(text); }

void TimeFieldEdit::stepBy(int steps) {
  if (steps == 0) return;
  const TimePart part = SelectedPart();
  const int delta = steps > 0 ? 1 : -1;
  const int year = CurrentYear();
  std::string text = EditableText();
  for (int i = std::abs(steps); i > 0; --i) text = tarnwick::StepPart(text, part, delta, year);
  ShowChanged(text, part);
}

QSize TimeFieldEdit::sizeHint() const {
  // The width of the fixed form plus room for the caret, as the text field measures it.
  const int textWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 2;
  QStyleOptionSpinBox option;
  initStyleOption(&option);
  const QSize content(textWidth, lineEdit()->sizeHint().height());
  return style()->sizeFromContents(QStyle::CT_SpinBox, &option, content, this);
}

QSize TimeFieldEdit::minimumSizeHint() const { return sizeHint(); }

QAbstractSpinBox::StepEnabled TimeFieldEdit::stepEnabled() const {
  // Every part wraps, so both directions are always possible.
  return StepUpEnabled | StepDownEnabled;
}

void TimeFieldEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  switch (key) {
    case Qt::Key_Left:
      SelectPart(tarnwick::PreviousPart(SelectedPart()));
      return;
    case Qt::Key_Right:
      SelectPart(tarnwick::NextPart(SelectedPart()));
      return;
    case Qt::Key_Up:
      stepBy(1);
      return;
    case Qt::Key_Down:
      stepBy(-1);
      return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      // Steps of ten have no meaning for a wrapping part.
      return;
    default:
      break;
  }
  const bool mainKeyboardDigit =
      key >= Qt::Key_0 && key <= Qt::Key_9 && !event->modifiers().testFlag(Qt::KeypadModifier);
  if (!mainKeyboardDigit) {
    QAbstractSpinBox::keyPressEvent(event);
    return;
  }
  const TimePart part = SelectedPart();
  ShowChanged(typing_.TypeDigit(EditableText(), part, key - Qt::Key_0,
                                tarnwick::platform::MonotonicMillis(), CurrentYear()),
              part);
}

void TimeFieldEdit::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) {
    event->ignore();
    return;
  }
  event->accept();
  if ((delta > 0) != (pendingWheelDelta_ > 0)) pendingWheelDelta_ = 0;
  pendingWheelDelta_ += delta;
  // Turned away from the user: the previous part; towards the user: the next one.
  for (; pendingWheelDelta_ >= kWheelNotch; pendingWheelDelta_ -= kWheelNotch)
    SelectPart(tarnwick::PreviousPart(SelectedPart()));
  for (; pendingWheelDelta_ <= -kWheelNotch; pendingWheelDelta_ += kWheelNotch)
    SelectPart(tarnwick::NextPart(SelectedPart()));
}

bool TimeFieldEdit::eventFilter(QObject* watched, QEvent* event) {
  // The text area is a child widget, so its clicks arrive here rather than in this box's
  // own mouse handlers. The press has already placed the caret.
  if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    SelectPart(SelectedPart());
  }
  return QAbstractSpinBox::eventFilter(watched, event);
}

std::string TimeFieldEdit::EditableText() const {
  const std::string text = lineEdit()->text().toStdString();
  if (tarnwick::IsFixedTimeForm(text)) return text;
  return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

void TimeFieldEdit::ShowChanged(const std::string& newText, TimePart part) {
  lineEdit()->setText(QString::fromStdString(newText));
  SelectPart(part);
}

void TimeFieldEdit::SelectPart(TimePart part) {
  // A text not in the fixed form may be shorter than the part's place.
  const int length = static_cast<int>(lineEdit()->text().size());
  const tarnwick::PartSpan span = tarnwick::SpanOf(part);
  const int start = std::min(span.start, length);
  lineEdit()->setSelection(start, std::min(span.length, length - start));
}

TimePart TimeFieldEdit::SelectedPart() const {
  const QLineEdit* edit = lineEdit();
  return tarnwick::PartAt(edit->hasSelectedText() ? edit->selectionStart()
                                                  : edit->cursorPosition());
}
