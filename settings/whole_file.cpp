#include "settings/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace tarnwick {
namespace {

std::string Reason(const char* step, int error) {
  return std::string(step) + ": " + std::strerror(error);
}

// The file a save should replace: the target of a symbolic link, else path itself.
std::string ReplacementTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The one temporary name a save of `target` uses. A save killed after naming its
// temporary file leaves this name behind, and the next save replaces it, so kills never
// pile up files beside the settings file.
std::string TemporaryPathFor(const std::string& target) {
  return FolderOf(target) + "/." + NameOf(target) + ".tmp";
}

// Creates `path` exclusively, removing a file left there by a killed save first.
int CreateNamedTemporary(const std::string& path) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
    if (unlink(path.c_str()) != 0 && errno != ENOENT) return -1;
  }
  errno = EEXIST;
  return -1;
}

// Gives the unnamed file `fd` the name `path`, replacing a leftover of a killed save.
bool NameUnnamedFile(int fd, const std::string& path) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != EEXIST || (unlink(path.c_str()) != 0 && errno != ENOENT)) return false;
  }
  errno = EEXIST;
  return false;
}

// True while `path` still names the open file `fd`: another save of the same file may
// have replaced the temporary name meanwhile, and its file must not be renamed as ours.
bool StillNames(const std::string& path, int fd) {
  struct stat named {
  }, open{};
  return stat(path.c_str(), &named) == 0 && fstat(fd, &open) == 0 && named.st_dev == open.st_dev &&
         named.st_ino == open.st_ino;
}

bool WriteAll(const FileCalls& calls, int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = calls.write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes `bytes` into a new temporary file and gives it the name `temporaryPath` once it
// is complete and on the disk (or, without unnamed files, creates it under that name).
// Returns the reason on failure, with nothing of this save left under the name.
std::string WriteTemporary(const FileCalls& calls, const std::string& temporaryPath,
                           std::string_view bytes, const struct stat* old, bool tryUnnamed = true) {
  // Unnamed while it is written where the file system allows it: a kill then leaves
  // nothing behind.
  int fd = tryUnnamed
               ? open(FolderOf(temporaryPath).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)
               : -1;
  const bool unnamed = fd >= 0;
  if (!unnamed) fd = CreateNamedTemporary(temporaryPath);
  if (fd < 0) return Reason("create temporary file", errno);

  std::string error;
  if (old != nullptr && fchmod(fd, old->st_mode & 07777) != 0) error = Reason("fchmod", errno);
  if (error.empty() && !WriteAll(calls, fd, bytes)) error = Reason("write", errno);
  if (error.empty() && calls.fsync(fd) != 0) error = Reason("fsync", errno);
  bool named = !unnamed;
  if (error.empty() && unnamed) {
    named = NameUnnamedFile(fd, temporaryPath);
    if (!named && errno == ENOENT) {
      // No /proc to link through: write the file again under its name.
      calls.close(fd);
      return WriteTemporary(calls, temporaryPath, bytes, old, false);
    }
    if (!named) error = Reason("link temporary file", errno);
  }
  const bool ours = named && StillNames(temporaryPath, fd);
  if (error.empty() && !ours) error = "the temporary file was replaced by another save";
  if (calls.close(fd) != 0 && error.empty()) error = Reason("close", errno);
  if (!error.empty() && ours) unlink(temporaryPath.c_str());
  return error;
}

}  // namespace

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Unreadable;
  struct stat info {};
  ReadOutcome outcome = ReadOutcome::Loaded;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) outcome = ReadOutcome::Unreadable;
  char buffer[65536];
  while (outcome == ReadOutcome::Loaded) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) outcome = ReadOutcome::Unreadable;
    if (got <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  if (outcome != ReadOutcome::Loaded) bytes.clear();
  return outcome;
}

bool CreateFileIfMissing(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd >= 0) {
    close(fd);
    return true;
  }
  return errno == EEXIST;
}

const FileCalls& SystemFileCalls() {
  static const FileCalls calls{::write, ::fsync, ::close, ::rename};
  return calls;
}

ReplaceResult ReplaceFile(const std::string& path, std::string_view bytes, const FileCalls& calls) {
  ReplaceResult result;
  const std::string target = ReplacementTarget(path);
  struct stat old {};
  const bool keepMode = stat(target.c_str(), &old) == 0;

  const std::string temporaryPath = TemporaryPathFor(target);
  result.error = WriteTemporary(calls, temporaryPath, bytes, keepMode ? &old : nullptr);
  if (!result.error.empty()) return result;
  if (calls.rename(temporaryPath.c_str(), target.c_str()) != 0) {
    result.error = Reason("rename", errno);
    unlink(temporaryPath.c_str());
    return result;
  }
  result.replaced = true;

  // The rename is durable only once the folder's entry is on disk.
  const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return result;
  if (calls.fsync(folder) != 0 && errno != EINVAL && errno != ENOTSUP) {
    result.error = Reason("fsync folder", errno);
  }
  close(folder);
  return result;
}

}  // namespace tarnwick
