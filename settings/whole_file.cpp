#include "settings/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
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

// Opens a new, exclusive temporary file beside target; -1 with errno set on failure.
int CreateTemporary(const std::string& target, std::string& temporaryPath) {
  static std::atomic<unsigned> counter{0};
  const std::string prefix =
      FolderOf(target) + "/." + NameOf(target) + "." + std::to_string(getpid()) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporaryPath = prefix + std::to_string(counter++) + ".tmp";
    const int fd = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
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

// Writes bytes into the open temporary file and closes it; the reason on failure.
std::string FillTemporary(const FileCalls& calls, int fd, std::string_view bytes, mode_t mode,
                          bool keepMode) {
  std::string error;
  if (keepMode && fchmod(fd, mode) != 0) error = Reason("fchmod", errno);
  if (error.empty() && !WriteAll(calls, fd, bytes)) error = Reason("write", errno);
  if (error.empty() && calls.fsync(fd) != 0) error = Reason("fsync", errno);
  if (calls.close(fd) != 0 && error.empty()) error = Reason("close", errno);
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

  std::string temporaryPath;
  const int fd = CreateTemporary(target, temporaryPath);
  if (fd < 0) {
    result.error = Reason("create temporary file", errno);
    return result;
  }
  result.error = FillTemporary(calls, fd, bytes, old.st_mode & 07777, keepMode);
  if (result.error.empty() && calls.rename(temporaryPath.c_str(), target.c_str()) != 0) {
    result.error = Reason("rename", errno);
  }
  if (!result.error.empty()) {
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
