#pragma once
// TempTree: a fresh temporary folder for one test, removed with everything in it
// (unreadable folders included) when the object goes away. Paths given to its members
// are relative to the root; the members return full paths.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarnwick::test {

class TempTree {
 public:
  TempTree() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tarnwick-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
  }
  ~TempTree() { RemoveAll(); }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The root folder, without a trailing "/".
  const std::string& Root() const { return root_; }
  std::string Path(std::string_view relative) const {
    return relative.empty() ? root_ : root_ + "/" + std::string(relative);
  }

  // Writes a file holding exactly `bytes`, creating its parent folders. With `mtime`
  // (seconds since the epoch) both its access and modification times are set to it.
  std::string Create(std::string_view relative, std::string_view bytes = {},
                     std::optional<std::int64_t> mtime = std::nullopt) {
    const std::string path = WithParents(relative);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush())
      throw std::runtime_error("cannot write " + path);
    if (mtime) SetTimes(relative, *mtime, *mtime);
    return path;
  }

  // Sets the access and modification times (seconds since the epoch).
  void SetTimes(std::string_view relative, std::int64_t atime, std::int64_t mtime) const {
    timespec times[2] = {{static_cast<std::time_t>(atime), 0},
                         {static_cast<std::time_t>(mtime), 0}};
    if (::utimensat(AT_FDCWD, Path(relative).c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
      throw std::runtime_error("utimensat failed on " + Path(relative));
  }

  std::string MakeFolder(std::string_view relative) {
    std::filesystem::create_directories(Path(relative));
    return Path(relative);
  }

  // A symbolic link at `relative` pointing to `target` (taken as it is written).
  std::string MakeLink(std::string_view target, std::string_view relative) {
    const std::string path = WithParents(relative);
    std::filesystem::create_symlink(target, path);
    return path;
  }

  std::string MakeFifo(std::string_view relative) {
    const std::string path = WithParents(relative);
    if (::mkfifo(path.c_str(), 0644) != 0) throw std::runtime_error("mkfifo failed on " + path);
    return path;
  }

  void SetMode(std::string_view relative, mode_t mode) const {
    if (::chmod(Path(relative).c_str(), mode) != 0)
      throw std::runtime_error("chmod failed on " + Path(relative));
  }

 private:
  std::string WithParents(std::string_view relative) {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return path;
  }

  // Makes every folder accessible just before the walk enters it, then removes the
  // tree; links are never followed.
  void RemoveAll() const {
    namespace fs = std::filesystem;
    std::error_code walk, ignored;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto entry = fs::recursive_directory_iterator(root_, walk);
         !walk && entry != fs::recursive_directory_iterator(); entry.increment(walk)) {
      if (entry->is_directory(ignored) && !entry->is_symlink(ignored))
        fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(root_, ignored);
  }

  std::string root_;
};

}  // namespace tarnwick::test
