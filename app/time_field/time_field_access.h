#pragma once
// Creation and text of the two time fields (编辑框时间起始, 编辑框时间终止), kept in one
// place so the rest of the window does not depend on the editor's class.

#include <QString>

class QWidget;

namespace tarnwick {

QWidget* CreateTimeField(QWidget* parent, const QString& text);
// The field's text in the form "yyyy-MM-dd HH:mm:ss"; "" when `field` is not a time field.
QString TimeFieldText(const QWidget* field);
void SetTimeFieldText(QWidget* field, const QString& text);

}  // namespace tarnwick
