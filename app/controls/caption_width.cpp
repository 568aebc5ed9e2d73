#include "app/controls/caption_width.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

namespace tarnwick {
namespace {

QStringList CaptionsOf(const QWidget* control, const QString& present) {
  const QStringList listed = control->property(kCaptionsToFitProperty).toStringList();
  return listed.isEmpty() ? QStringList{present} : listed;
}

int WidestText(const QWidget* control, const QStringList& texts) {
  int widest = 0;
  for (const QString& text : texts)
    widest = std::max(widest, control->fontMetrics().horizontalAdvance(text));
  return widest;
}

}  // namespace

int CaptionWidth(const QWidget* control) {
  if (const auto* push = qobject_cast<const QPushButton*>(control)) {
    // The style's own size hint has a floor (80 pixels in Fusion) that a short caption
    // does not need: the text, the button's margin and its frame on both sides.
    const QStyle* style = push->style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, push);
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, push);
    return WidestText(push, CaptionsOf(push, push->text())) + margin + 2 * frame + 4;
  }
  if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control)) {
    // The size hint holds the indicator, the spacing and the present text.
    const auto* button = static_cast<const QAbstractButton*>(control);
    const int present = button->fontMetrics().horizontalAdvance(button->text());
    return button->sizeHint().width() - present +
           WidestText(button, CaptionsOf(button, button->text()));
  }
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    if (!label->pixmap().isNull() || label->text().isEmpty()) return 0;
    return WidestText(label, {label->text()}) + 2 * label->margin() + label->frameWidth() * 2;
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(control)) return combo->sizeHint().width();
  return 0;
}

}  // namespace tarnwick
