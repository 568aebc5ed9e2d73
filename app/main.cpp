// tarnwick: the desktop program.
//
//   tarnwick [--settings FILE] [FOLDER]
//   tarnwick --version | --help
//
// FILE is the settings file to use; without it Tarnwick.ini lives beside the program
// when the user has put one there, else in $XDG_CONFIG_HOME/tarnwick/. FOLDER is where
// the folder chooser starts.

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/desktop_identity.h"
#include "app/language/qt_locale.h"
#include "app/language/ui_language.h"
#include "app/start_arguments.h"
#include "app/window/main_window.h"
#include "app/window/program_font.h"
#include "app/window/termination_signal.h"
#include "platform/heap_pages.h"
#include "settings/settings_location.h"

namespace {

std::vector<std::string> Words(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace

int main(int argc, char* argv[]) {
  if (const auto text = tarnwick::InformationRequested(Words(argc, argv))) {
    std::fputs(text->c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }

  // The list holds some 400 bytes a row, up to millions of rows.
  tarnwick::platform::PreferHugePagesForHeap();
  const tarnwick::UiLanguage language = tarnwick::UiLanguageFromEnvironment();
  tarnwick::QtFormattingLocale formatting(language);
  QApplication application(argc, argv);  // takes Qt's own options out of argv
  formatting.Restore();
  std::string error;
  const auto arguments = tarnwick::ParseStartArguments(Words(argc, argv), error);
  if (!arguments) {
    std::fprintf(stderr, "tarnwick: %s\nusage: tarnwick [--settings FILE] [FOLDER]\n",
                 error.c_str());
    return 2;
  }
  if (!arguments->warning.empty())
    std::fprintf(stderr, "tarnwick: %s\n", arguments->warning.c_str());
  tarnwick::SetDesktopIdentity(application);
  // Without its English texts (a damaged build) the window stays wholly Chinese rather
  // than Chinese with Qt's dialogs in English.
  if (!tarnwick::InstallUiLanguage(application, language) &&
      language == tarnwick::UiLanguage::English) {
    tarnwick::InstallUiLanguage(application, tarnwick::UiLanguage::Chinese);
  }
  tarnwick::UseProgramFont();

  const std::string settingsPath =
      arguments->settingsFile.empty()
          ? tarnwick::DefaultSettingsPath(tarnwick::CurrentExecutablePath())
          : arguments->settingsFile;

  tarnwick::TerminationSignal termination;
  tarnwick::MainWindow window(settingsPath, tarnwick::DesktopPlatform());
  // The folder the window was opened on is where the chooser starts, as if it had been
  // chosen last; the job still waits for the start button.
  if (!arguments->folder.empty()) {
    window.Options().SetText(tarnwick::Field::FilterFolder, arguments->folder);
  }
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
