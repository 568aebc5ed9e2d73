#pragma once
// TempTree: a fresh temporary folder for one test, removed with everything in it
// (unreadable folders included) when the object goes away. Paths given to its members
// are relative to the root; the members return full paths.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
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
  ~TempTree() { RemoveAll(root_); }
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
    const std::string path = Path(relative);
    MakeParents(path);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
      if (n <= 0) {
        ::close(fd);
        throw std::runtime_error("cannot write " + path);
      }
      written += static_cast<std::size_t>(n);
    }
    ::close(fd);
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
    const std::string path = Path(relative);
    MakeParents(path + "/");
    return path;
  }

  // A symbolic link at `relative` pointing to `target` (taken as it is written).
  std::string MakeLink(std::string_view target, std::string_view relative) {
    const std::string path = Path(relative);
    MakeParents(path);
    if (::symlink(std::string(target).c_str(), path.c_str()) != 0)
      throw std::runtime_error("symlink failed on " + path);
    return path;
  }

  std::string MakeFifo(std::string_view relative) {
    const std::string path = Path(relative);
    MakeParents(path);
    if (::mkfifo(path.c_str(), 0644) != 0) throw std::runtime_error("mkfifo failed on " + path);
    return path;
  }

  void SetMode(std::string_view relative, mode_t mode) const {
    if (::chmod(Path(relative).c_str(), mode) != 0)
      throw std::runtime_error("chmod failed on " + Path(relative));
  }

 private:
  // Creates every folder on the way to the last "/" of path.
  static void MakeParents(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
      const std::string folder = path.substr(0, slash);
      if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        throw std::runtime_error("mkdir failed on " + folder);
    }
  }

  // Removes a tree without following links; folders are made accessible first.
  static void RemoveAll(const std::string& folder) {
    ::chmod(folder.c_str(), 0700);
    if (DIR* dir = ::opendir(folder.c_str())) {
      while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "/" + std::string(name);
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
          RemoveAll(path);
        } else {
          ::unlink(path.c_str());
        }
      }
      ::closedir(dir);
    }
    ::rmdir(folder.c_str());
  }

  std::string root_;
};

}  // namespace tarnwick::test
