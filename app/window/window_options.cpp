#include "app/window/window_options.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/controls/control_captions.h"
#include "app/controls/control_roster.h"
#include "app/time_field/time_field_access.h"

namespace tarnwick {
namespace {

std::string ToStd(const QString& text) { return text.toUtf8().toStdString(); }

QString FromStd(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsTagField(Field field) {
  return field == Field::FilterFolder || field == Field::MoveFolder || field == Field::CopyFolder;
}

bool IsTimeField(Field field) { return field == Field::TimeFrom || field == Field::TimeTo; }

}  // namespace

WindowOptions::WindowOptions(QWidget* window) {
  for (int i = 0; i < kCheckCount; ++i) {
    const auto name = QString::fromUtf8(ObjectName(static_cast<Check>(i)));
    checks_[i] = window->findChild<QAbstractButton*>(name);
    Q_ASSERT(checks_[i]);
  }
  for (int i = 0; i < kFieldCount; ++i) {
    const auto name = QString::fromUtf8(ObjectName(static_cast<Field>(i)));
    fields_[i] = window->findChild<QWidget*>(name);
    Q_ASSERT(fields_[i]);
  }
  matchMode_ = window->findChild<QComboBox*>(QString::fromUtf8(control::kMatchMode));
  Q_ASSERT(matchMode_);

  const auto changed = [this] { ++revision_; };
  for (QAbstractButton* check : checks_) {
    QObject::connect(check, &QAbstractButton::toggled, &changeReceiver_, changed);
  }
  for (int i = 0; i < kFieldCount; ++i) {
    if (!IsTagField(static_cast<Field>(i))) CountChangesOf(fields_[i]);
  }
  QObject::connect(matchMode_, &QComboBox::currentIndexChanged, &changeReceiver_, changed);
}

void WindowOptions::CountChangesOf(QWidget* field) {
  const auto changed = [this] { ++revision_; };
  if (auto* edit = qobject_cast<QPlainTextEdit*>(field)) {
    QObject::connect(edit, &QPlainTextEdit::textChanged, &changeReceiver_, changed);
    return;
  }
  // A time field edits its text in a line edit of its own.
  auto* line = qobject_cast<QLineEdit*>(field);
  if (!line) line = field->findChild<QLineEdit*>();
  Q_ASSERT(line);
  QObject::connect(line, &QLineEdit::textChanged, &changeReceiver_, changed);
}

bool WindowOptions::IsChecked(Check check) const {
  return checks_[static_cast<int>(check)]->isChecked();
}

void WindowOptions::SetChecked(Check check, bool on) {
  // An exclusive group ignores the deselection of its selected button by itself.
  checks_[static_cast<int>(check)]->setChecked(on);
}

std::string WindowOptions::Caption(Check check) const {
  return ChineseCaption(checks_[static_cast<int>(check)]);
}

std::string WindowOptions::Text(Field field) const {
  const QWidget* widget = fields_[static_cast<int>(field)];
  if (IsTagField(field)) return widget->property(kTagProperty).toByteArray().toStdString();
  if (IsTimeField(field)) return ToStd(TimeFieldText(widget));
  if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget))
    return ToStd(edit->toPlainText());
  if (const auto* line = qobject_cast<const QLineEdit*>(widget)) return ToStd(line->text());
  return {};
}

void WindowOptions::SetText(Field field, const std::string& text) {
  QWidget* widget = fields_[static_cast<int>(field)];
  if (IsTagField(field)) {
    widget->setProperty(kTagProperty, QByteArray::fromStdString(text));
  } else if (IsTimeField(field)) {
    SetTimeFieldText(widget, FromStd(text));
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    edit->setPlainText(FromStd(text));
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->setText(FromStd(text));
  }
}

int WindowOptions::MatchModeIndex() const { return std::max(0, matchMode_->currentIndex()); }

void WindowOptions::SetMatchModeIndex(int index) {
  matchMode_->setCurrentIndex(index >= 0 && index < matchMode_->count() ? index : 0);
}

}  // namespace tarnwick
