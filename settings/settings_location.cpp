#include "settings/settings_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace tarnwick {
namespace {

constexpr const char* kFileName = "Tarnwick.ini";

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return "/";
}

std::string ConfigFolder() {
  // A relative XDG_CONFIG_HOME is invalid and ignored.
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
    return config;
  }
  return HomeFolder() + "/.config";
}

// mkdir -p, private to the user as the config folders are.
void CreateFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
    if (slash == std::string::npos) return;
  }
}

}  // namespace

std::string DefaultSettingsPath(const std::string& executablePath) {
  const std::size_t slash = executablePath.rfind('/');
  if (slash != std::string::npos) {
    // Portable use: the user has put a Tarnwick.ini beside the program. An installed
    // program never writes into its own folder (/usr/bin), even as root.
    const std::string folder = slash == 0 ? "/" : executablePath.substr(0, slash);
    const std::string beside = (folder == "/" ? "" : folder) + "/" + kFileName;
    struct stat info {};
    if (stat(beside.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(folder.c_str(), W_OK | X_OK) == 0) {
      return beside;
    }
  }
  const std::string folder = ConfigFolder() + "/tarnwick";
  CreateFolders(folder);
  return folder + "/" + kFileName;
}

std::string CurrentExecutablePath() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) return {};
  return std::string(path, static_cast<std::size_t>(length));
}

}  // namespace tarnwick
