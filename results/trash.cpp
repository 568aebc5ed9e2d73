#include "results/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "results/path_parts.h"

namespace tarnwick {
namespace {

constexpr int kNameAttempts = 10000;
// The longest file name the usual file systems take, and what the info file adds to it.
constexpr std::size_t kNameMax = 255;
constexpr std::string_view kInfoSuffix = ".trashinfo";
// An extension longer than this is taken as part of the name when a name is cut short.
constexpr std::size_t kLongestKeptExtension = 16;

bool IsFolder(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Creates `folder` and its missing parents (mode 0700); true when it is a folder now.
bool MakeFolders(const std::string& folder) {
  if (IsFolder(folder)) return true;
  if (folder.empty() || folder == "/" || folder == ".") return false;
  if (!MakeFolders(ContainingFolder(folder))) return false;
  return ::mkdir(folder.c_str(), 0700) == 0 || IsFolder(folder);
}

// A trash folder of this user: created when missing, and then a real folder (no link)
// that belongs to the user, so nobody else can read or replace what goes into it.
bool EnsureOwnFolder(const std::string& folder, uid_t user) {
  (void)::mkdir(folder.c_str(), 0700);
  struct stat status {};
  return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == user;
}

// The device of `path`, or of its nearest existing parent folder when it does not exist
// yet (that is where it would be created).
std::optional<dev_t> DeviceOfNearest(std::string path) {
  for (;;) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) return status.st_dev;
    if (path == "/" || path == ".") return std::nullopt;
    path = ContainingFolder(path);
  }
}

std::optional<std::string> RealFolder(const std::string& folder) {
  char* resolved = ::realpath(folder.c_str(), nullptr);
  if (!resolved) return std::nullopt;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

// The mount point of the file system `device` that holds the real folder `folder`.
std::string MountPointOf(std::string folder, dev_t device) {
  while (folder != "/") {
    const std::string parent = ContainingFolder(folder);
    struct stat status {};
    if (::stat(parent.c_str(), &status) != 0 || status.st_dev != device) break;
    folder = parent;
  }
  return folder;
}

std::string Child(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// "$topdir/.Trash/UID" when "$topdir/.Trash" is a sticky folder that is not a link (an
// administrator's shared trash), else "$topdir/.Trash-UID"; "" when neither is usable.
std::string TopFolderTrash(const std::string& topdir, uid_t user) {
  const std::string uid = std::to_string(user);
  const std::string shared = Child(topdir, ".Trash");
  struct stat status {};
  if (::lstat(shared.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
      (status.st_mode & S_ISVTX) != 0) {
    const std::string own = shared + "/" + uid;
    if (EnsureOwnFolder(own, user)) return own;
  }
  const std::string own = Child(topdir, ".Trash-" + uid);
  return EnsureOwnFolder(own, user) ? own : std::string();
}

// The path as a URI path: every byte but the unreserved characters and "/" as %XX.
std::string PercentEncoded(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' ||
                       byte == '~' || byte == '/';
    if (plain) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

std::string LocalDateTime(std::time_t when) {
  struct tm local {};
  ::localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

bool WriteInfoFile(int fd, const std::string& info) {
  const bool written = WriteAll(fd, info) && ::fsync(fd) == 0;
  return ::close(fd) == 0 && written;
}

// Renames without ever replacing an entry that appeared at `to` meanwhile.
bool RenameNew(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: `to` was checked to be free just before.
  struct stat status {};
  if (::lstat(to.c_str(), &status) == 0) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// The name of the `attempt`-th try to store `base` in a trash: `base` itself, then
// base.2, base.3 and so on. A name too long for its info file ("<name>.trashinfo" must
// itself be a valid file name) is cut short before its extension, never inside a UTF-8
// character; the info file keeps the whole original path.
std::string TrashedName(const std::string& base, int attempt) {
  const std::string number = attempt == 1 ? std::string() : "." + std::to_string(attempt);
  const std::size_t room = kNameMax - kInfoSuffix.size() - number.size();
  if (base.size() <= room) return base + number;
  const std::size_t dot = base.rfind('.');
  const bool keepExtension =
      dot != std::string::npos && dot > 0 && base.size() - dot <= kLongestKeptExtension;
  const std::string extension = keepExtension ? base.substr(dot) : std::string();
  std::size_t keep = room - extension.size();
  // Step back over at most the three continuation bytes of one UTF-8 character.
  for (int step = 0;
       step < 3 && keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80; ++step) {
    --keep;
  }
  return base.substr(0, keep) + extension + number;
}

// Claims a free name in `trash` by creating its .trashinfo exclusively, writes it, then
// renames the file into files/. On any failure the claimed .trashinfo is removed again.
bool PutIntoTrash(const std::string& path, const std::string& originalPath,
                  const std::string& trash, std::time_t deletedAt) {
  const std::string files = trash + "/files";
  const std::string infos = trash + "/info";
  (void)::mkdir(files.c_str(), 0700);
  (void)::mkdir(infos.c_str(), 0700);
  if (!IsFolder(files) || !IsFolder(infos)) return false;

  const std::string info = "[Trash Info]\nPath=" + PercentEncoded(originalPath) +
                           "\nDeletionDate=" + LocalDateTime(deletedAt) + "\n";
  const std::string base = FileNamePart(path);
  for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
    const std::string name = TrashedName(base, attempt);
    const std::string infoPath = infos + "/" + name + std::string(kInfoSuffix);
    const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return false;
    const std::string stored = files + "/" + name;
    struct stat status {};
    const bool nameTaken = ::lstat(stored.c_str(), &status) == 0;
    if (nameTaken) {
      ::close(fd);
      ::unlink(infoPath.c_str());
      continue;
    }
    if (WriteInfoFile(fd, info) && RenameNew(path, stored)) return true;
    ::unlink(infoPath.c_str());
    return false;
  }
  return false;
}

}  // namespace

TrashPlace CurrentTrashPlace() {
  TrashPlace place;
  place.user = ::getuid();
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome && dataHome[0] == '/') {
    place.homeTrash = std::string(dataHome) + "/Trash";
  } else if (home && home[0] == '/') {
    place.homeTrash = std::string(home) + "/.local/share/Trash";
  }
  return place;
}

bool MoveToTrash(const std::string& path, const TrashPlace& place, std::time_t deletedAt) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) return false;
  const std::optional<std::string> folder = RealFolder(ContainingFolder(path));
  if (!folder) return false;
  const std::string originalPath = Child(*folder, FileNamePart(path));

  if (!place.homeTrash.empty() && DeviceOfNearest(place.homeTrash) == status.st_dev) {
    return MakeFolders(place.homeTrash) &&
           PutIntoTrash(path, originalPath, place.homeTrash, deletedAt);
  }
  const std::string trash = TopFolderTrash(MountPointOf(*folder, status.st_dev), place.user);
  return !trash.empty() && PutIntoTrash(path, originalPath, trash, deletedAt);
}

}  // namespace tarnwick
