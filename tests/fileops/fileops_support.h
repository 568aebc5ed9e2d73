#pragma once
// Helpers of the file operation tests: a tree on a second file system, reading files
// back, listing folders, and a tiny tmpfs of our own where the system lets us mount one.

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engine/temp_tree.h"

namespace tarnwick::test {

// A TempTree under /dev/shm when that is another file system than the one of `other`;
// nullptr when the machine has none at hand.
inline std::unique_ptr<TempTree> TreeOnOtherFileSystem(const std::string& other) {
  struct stat shm {
  }, here{};
  if (::stat("/dev/shm", &shm) != 0 || ::stat(other.c_str(), &here) != 0) return nullptr;
  if (shm.st_dev == here.st_dev || ::access("/dev/shm", W_OK) != 0) return nullptr;
  const char* saved = std::getenv("TMPDIR");
  const std::string restore = saved ? saved : "";
  ::setenv("TMPDIR", "/dev/shm", 1);
  auto tree = std::make_unique<TempTree>();
  saved ? ::setenv("TMPDIR", restore.c_str(), 1) : ::unsetenv("TMPDIR");
  return tree;
}

// The file's bytes, or "<missing>".
inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The names in `folder`, sorted, without "." and "..".
inline std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code missing;
  for (const auto& entry : std::filesystem::directory_iterator(folder, missing))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A tmpfs of `kilobytes` mounted on a fresh folder, unmounted and removed at the end.
// Mounted() is false where the system does not permit the mount.
class SmallTmpfs {
 public:
  explicit SmallTmpfs(int kilobytes) {
    std::string pattern = "/tmp/tarnwick-tmpfs-XXXXXX";
    if (!::mkdtemp(pattern.data())) return;
    folder_ = pattern;
    const std::string options = "size=" + std::to_string(kilobytes) + "k";
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallTmpfs() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    if (!folder_.empty()) ::rmdir(folder_.c_str());
  }
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;

  bool Mounted() const { return mounted_; }
  std::string Path(const std::string& name) const { return folder_ + "/" + name; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

}  // namespace tarnwick::test
