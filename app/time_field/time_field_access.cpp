#include "app/time_field/time_field_access.h"

#include "app/time_field/time_field_edit.h"

namespace tarnwick {

QWidget* CreateTimeField(QWidget* parent, const QString& text) {
  auto* field = new TimeFieldEdit(parent);
  field->setText(text);
  return field;
}

QString TimeFieldText(const QWidget* field) {
  const auto* edit = qobject_cast<const TimeFieldEdit*>(field);
  return edit ? edit->text() : QString();
}

void SetTimeFieldText(QWidget* field, const QString& text) {
  if (auto* edit = qobject_cast<TimeFieldEdit*>(field)) edit->setText(text);
}

}  // namespace tarnwick
