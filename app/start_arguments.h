#pragma once
// The command line of the desktop program:
//
//   tarnwick [--settings FILE] [FOLDER]
//   tarnwick --version | --help
//
// FOLDER (what a file manager's "open with" passes) becomes the folder chooser's
// starting folder; no job starts until the user asks for one.

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct StartArguments {
  std::string settingsFile;  // --settings FILE; empty: the default location
  std::string folder;        // FOLDER made absolute (raw bytes); empty: none given
  std::string warning;       // why a FOLDER given was not taken; empty when none
};

// The text that --version or --help (anywhere before "--") asks for, or nullopt when
// neither is given. Read before the window system starts, so it needs no display.
std::optional<std::string> InformationRequested(const std::vector<std::string>& arguments);

// `arguments` are the words after the program's name, Qt's own options already taken
// out. nullopt on bad usage, with the reason in `error`. A FOLDER that is not a folder
// is not an error: the window opens without it and `warning` says why.
std::optional<StartArguments> ParseStartArguments(const std::vector<std::string>& arguments,
                                                  std::string& error);

}  // namespace tarnwick
