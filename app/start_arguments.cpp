#include "app/start_arguments.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace tarnwick {
namespace {

constexpr const char* kUsage =
    "usage: tarnwick [--settings FILE] [FOLDER]\n"
    "\n"
    "Opens the Tarnwick window. FOLDER is where the folder chooser starts when a filter\n"
    "job is started. Options are kept in FILE, else in Tarnwick.ini beside the program\n"
    "when one is there, else in $XDG_CONFIG_HOME/tarnwick/Tarnwick.ini.\n"
    "See man tarnwick; tarnwick-cli runs the same jobs without the window.\n";

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An absolute path without "." and ".." steps or a trailing "/"; symbolic links are
// kept as the user named them.
std::string Absolute(const std::string& path) {
  std::error_code ignored;
  std::string absolute = std::filesystem::absolute(path, ignored).lexically_normal().string();
  while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
  return absolute;
}

}  // namespace

std::optional<std::string> InformationRequested(const std::vector<std::string>& arguments) {
  const auto end = std::find(arguments.begin(), arguments.end(), "--");
  for (auto word = arguments.begin(); word != end; ++word) {
    if (*word == "--version") return "tarnwick " TARNWICK_VERSION "\n";
    if (*word == "--help" || *word == "-h") return kUsage;
  }
  return std::nullopt;
}

std::optional<StartArguments> ParseStartArguments(const std::vector<std::string>& arguments,
                                                  std::string& error) {
  StartArguments result;
  std::vector<std::string> folders;
  bool operandsOnly = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (operandsOnly || word.empty() || word[0] != '-' || word == "-") {
      folders.push_back(word);
    } else if (word == "--") {
      operandsOnly = true;
    } else if (word == "--settings" || word.rfind("--settings=", 0) == 0) {
      result.settingsFile.clear();
      if (word != "--settings") {
        result.settingsFile = word.substr(11);
      } else if (i + 1 < arguments.size()) {
        result.settingsFile = arguments[++i];
      }
      if (result.settingsFile.empty()) {
        error = "--settings needs a FILE";
        return std::nullopt;
      }
    } else {
      error = "unknown option " + word;
      return std::nullopt;
    }
  }
  if (folders.size() > 1) {
    error = "only one FOLDER may be given, not also " + folders[1];
    return std::nullopt;
  }
  if (folders.empty()) return result;
  if (IsFolder(folders[0])) {
    result.folder = Absolute(folders[0]);
  } else {
    result.warning = "not a folder: " + folders[0];
  }
  return result;
}

}  // namespace tarnwick
