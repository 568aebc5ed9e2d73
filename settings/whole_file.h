#pragma once
// Reading a whole file, and replacing one atomically.

#include <sys/types.h>

#include <string>
#include <string_view>

namespace tarnwick {

enum class ReadOutcome {
  Loaded,      // bytes holds the whole file
  Missing,     // no file at the path
  Unreadable,  // exists but cannot be read: no permission, not a regular file, I/O error
};

// Reads the whole regular file at path into bytes (emptied first). Never blocks on a
// FIFO or a device: those are Unreadable.
ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes);

// Creates an empty file at path when there is none; never truncates one.
// True when a file exists at path afterwards.
bool CreateFileIfMissing(const std::string& path);

// The system calls ReplaceFile makes, so that tests can make them fail.
struct FileCalls {
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fsync)(int fd);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
};
const FileCalls& SystemFileCalls();

struct ReplaceResult {
  bool replaced = false;  // the file at path now holds the new bytes
  std::string error;      // why not, or why the new file may not be durable yet
};

// Replaces the file at path with bytes so that every reader sees either the old file
// or the new one, whole, even if the process is killed or the disk fills up: writes a
// temporary file in the same folder, checks every write and the close, fsyncs it,
// renames it over path and fsyncs the folder. A symbolic link at path is followed, so
// the file it points to is replaced and the link stays. The new file keeps the old
// file's permission bits. On failure the temporary file is removed and path is
// untouched; error says which step failed and why.
//
// The temporary file is unnamed while it is written (where the file system offers
// O_TMPFILE) and then takes the one name ".<name>.tmp" until the rename: a kill leaves
// at most that one file beside path, and the next save replaces it.
ReplaceResult ReplaceFile(const std::string& path, std::string_view bytes,
                          const FileCalls& calls = SystemFileCalls());

}  // namespace tarnwick
