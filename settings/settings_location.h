#pragma once
// Where Tarnwick.ini lives.

#include <string>

namespace tarnwick {

// Tarnwick.ini beside the executable when a file of that name is already there and
// that folder is writable (portable use); otherwise $XDG_CONFIG_HOME/tarnwick/Tarnwick.ini
// ($XDG_CONFIG_HOME when absolute, else $HOME/.config), creating the tarnwick folder when it is
// missing. When the folder cannot be created the path is returned anyway: SettingsStore::Open then
// reports the file as unusable.
std::string DefaultSettingsPath(const std::string& executablePath);

// The running program's own path (/proc/self/exe); empty when it cannot be read.
std::string CurrentExecutablePath();

}  // namespace tarnwick
