// Where the settings file is looked for.

#include "settings/settings_location.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "temp_folder.h"

namespace tarnwick {
namespace {

using testing::TempFolder;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnvironment() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

TEST(SettingsLocationTest, BesideTheExecutableOnlyWhenTheUserPutOneThere) {
  TempFolder folder;
  ScopedEnvironment config("XDG_CONFIG_HOME", folder.Path("config").c_str());
  // A writable folder alone is not enough: an installed program run as root would
  // otherwise write into /usr/bin.
  EXPECT_EQ(DefaultSettingsPath(folder.Path("tarnwick")),
            folder.Path("config/tarnwick/Tarnwick.ini"));
  testing::WriteBytes(folder.Path("Tarnwick.ini"), "");
  EXPECT_EQ(DefaultSettingsPath(folder.Path("tarnwick")), folder.Path("Tarnwick.ini"));
}

TEST(SettingsLocationTest, ConfigFolderWhenTheExecutableFolderIsNotWritable) {
  TempFolder folder;
  const std::string executable = folder.Path("missing/bin/tarnwick");
  {
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.Path("config").c_str());
    EXPECT_EQ(DefaultSettingsPath(executable), folder.Path("config/tarnwick/Tarnwick.ini"));
    EXPECT_TRUE(IsFolder(folder.Path("config/tarnwick")));
  }
  // A relative XDG_CONFIG_HOME is ignored in favour of ~/.config.
  ScopedEnvironment config("XDG_CONFIG_HOME", "relative");
  ScopedEnvironment home("HOME", folder.Path("home").c_str());
  EXPECT_EQ(DefaultSettingsPath(executable), folder.Path("home/.config/tarnwick/Tarnwick.ini"));
  EXPECT_TRUE(IsFolder(folder.Path("home/.config/tarnwick")));
}

}  // namespace
}  // namespace tarnwick
