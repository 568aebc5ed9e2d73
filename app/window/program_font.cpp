#include "app/window/program_font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace tarnwick {

void UseProgramFont() {
  const QStringList families = QFontDatabase::families();
  for (const char* family : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC"}) {
    const QString name = QString::fromUtf8(family);
    if (!families.contains(name)) continue;
    QFont font(name);
    font.setPixelSize(12);
    QApplication::setFont(font);
    return;
  }
}

}  // namespace tarnwick
