// tarnwick: the desktop program.
//
//   tarnwick [--settings FILE]
//
// FILE is the settings file to use; without it Tarnwick.ini lives beside the program
// when that folder is writable, else in $XDG_CONFIG_HOME/tarnwick/.

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>
#include <cstdio>

#include "app/main_window.h"
#include "app/termination_signal.h"
#include "settings/settings_location.h"

namespace {

// The window's captions are Chinese: use an installed CJK font when there is one.
void UseCjkFont() {
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

// The settings file named by --settings, "" when none is named; false on bad usage.
bool ParseArguments(const QStringList& arguments, QString* settingsFile) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QStringLiteral("--settings") && i + 1 < arguments.size()) {
      *settingsFile = arguments[++i];
    } else if (argument.startsWith(QStringLiteral("--settings="))) {
      *settingsFile = argument.mid(11);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QString settingsFile;
  if (!ParseArguments(QApplication::arguments(), &settingsFile)) {
    std::fprintf(stderr, "usage: tarnwick [--settings FILE]\n");
    return 2;
  }
  UseCjkFont();

  const std::string settingsPath =
      settingsFile.isEmpty() ? tarnwick::DefaultSettingsPath(tarnwick::CurrentExecutablePath())
                             : QFile::encodeName(settingsFile).toStdString();

  tarnwick::TerminationSignal termination;
  tarnwick::MainWindow window(settingsPath, tarnwick::DesktopPlatform());
  // SIGTERM ends the program even when a handler is still inside a dialog of its own:
  // once the window has closed, every event loop ends, and one a handler would open
  // afterwards returns at once.
  QObject::connect(&termination, &tarnwick::TerminationSignal::received, &window, [&window] {
    window.CloseForTermination();
    QCoreApplication::exit(0);
  });
  window.show();
  return QApplication::exec();
}
