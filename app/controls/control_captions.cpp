#include "app/controls/control_captions.h"

#include <QAbstractButton>
#include <QCoreApplication>

namespace tarnwick {
namespace {

constexpr const char* kChineseCaptionProperty = "chineseCaption";

}  // namespace

QString ControlCaption(const char* source) {
  return QCoreApplication::translate("Controls", source);
}

void SetControlCaption(QAbstractButton* button, const char* source) {
  button->setProperty(kChineseCaptionProperty, QByteArray(source));
  button->setText(ControlCaption(source));
}

std::string ChineseCaption(const QAbstractButton* button) {
  return button->property(kChineseCaptionProperty).toByteArray().toStdString();
}

}  // namespace tarnwick
