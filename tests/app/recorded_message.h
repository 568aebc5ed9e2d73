#pragma once
// A message box as the test hosts record it in place of showing it: everything the user
// would see of it.

#include <QMessageBox>
#include <QString>
#include <QTest>

namespace tarnwick::testing {

struct RecordedMessage {
  QString text;
  QMessageBox::StandardButtons buttons;
  QString title;
  QMessageBox::Icon icon;
  bool operator==(const RecordedMessage&) const = default;
};

// The program's usual box: the information icon, OK alone, title "Brellin：".
inline RecordedMessage Information(const QString& text,
                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok) {
  return {text, buttons, QStringLiteral("Brellin："), QMessageBox::Information};
}

inline RecordedMessage Warning(const QString& text) {
  return {text, QMessageBox::Ok, QStringLiteral("Brellin："), QMessageBox::Warning};
}

}  // namespace tarnwick::testing

namespace QTest {

// How a recorded box is printed when a comparison fails.
template <>
inline char* toString(const tarnwick::testing::RecordedMessage& box) {
  return QTest::toString(QStringLiteral("[%1] icon %2, buttons 0x%3, title %4")
                             .arg(box.text)
                             .arg(static_cast<int>(box.icon))
                             .arg(static_cast<int>(box.buttons), 0, 16)
                             .arg(box.title));
}

}  // namespace QTest
