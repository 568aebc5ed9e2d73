#pragma once

#include <QAbstractSpinBox>
#include <QString>
#include <string>

#include "app/time_field/time_field_logic.h"

// One bound of the time filter (编辑框时间起始 / 编辑框时间终止): the text stays in the
// form "yyyy-MM-dd HH:mm:ss" and is edited part by part. A click selects the part under
// the caret, Left/Right (and the wheel) move between parts, Up/Down and the spin buttons
// step the selected part, and the digits of the main keyboard type into it.
class TimeFieldEdit : public QAbstractSpinBox {
  Q_OBJECT

 public:
  explicit TimeFieldEdit(QWidget* parent = nullptr);

  QString text() const;
  // Shows `text` unchanged, also when it is not in the fixed form (a value restored from
  // an older or hand-edited settings file keeps its meaning for the filter). The first
  // change made in the field then starts from the current local time in the fixed form.
  void setText(const QString& text);

  // Steps the selected part once per unit of `steps` (the spin buttons send +1 and -1).
  void stepBy(int steps) override;

  // Wide enough for the whole of "yyyy-MM-dd HH:mm:ss" beside the spin buttons.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  StepEnabled stepEnabled() const override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The text in the fixed form that a change starts from.
  std::string EditableText() const;
  // Shows `newText` and selects `part` in it.
  void ShowChanged(const std::string& newText, tarnwick::TimePart part);
  void SelectPart(tarnwick::TimePart part);
  tarnwick::TimePart SelectedPart() const;

  tarnwick::TimeFieldTyping typing_;
  // Wheel rotation not yet turned into a move between parts (touchpads send small steps).
  int pendingWheelDelta_ = 0;
};
