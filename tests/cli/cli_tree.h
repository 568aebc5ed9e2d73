#pragma once
// A fresh temporary folder to build a test tree in, removed with everything in it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli_process.h"

namespace tarnwick::cli_test {

// 2013-01-01 00:00:00 UTC, the time every file gets unless told otherwise.
inline constexpr std::int64_t kDefaultTime = 1356998400;

class CliTree {
 public:
  CliTree() {
    char pattern[] = "/tmp/tarnwick-cli-test-XXXXXX";
    root_ = mkdtemp(pattern);
  }
  ~CliTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  CliTree(const CliTree&) = delete;
  CliTree& operator=(const CliTree&) = delete;

  const std::string& Root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

  // Writes a file (its folders made as needed) with the given modification time.
  void File(const std::string& relative, std::string_view bytes = "",
            std::int64_t mtime = kDefaultTime) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      std::abort();
    }
    const timespec times[2] = {{mtime, 0}, {mtime, 0}};
    futimens(fd, times);
    close(fd);
  }

  // The paths of `records` with the root and its "/" taken off.
  std::vector<std::string> Relative(const std::vector<std::string>& records) const {
    std::vector<std::string> relative;
    for (const std::string& record : records) {
      relative.push_back(record.rfind(root_ + "/", 0) == 0 ? record.substr(root_.size() + 1)
                                                           : record);
    }
    return relative;
  }

 private:
  std::string root_;
};

// What a quiet job over the tree prints, as paths relative to its root. A job that
// does not end with status 0 fails the calling test.
inline std::vector<std::string> ListedBy(const CliTree& tree, std::vector<std::string> flags) {
  flags.push_back("-q");
  flags.push_back(tree.Root());
  const CliResult result = RunCli(flags);
  EXPECT_EQ(result.status, 0) << result.err;
  return tree.Relative(SplitRecords(result.out));
}

// A job's flags and the paths it must list, for tables of jobs over one tree.
struct ListCase {
  std::vector<std::string> flags;
  std::vector<std::string> listed;
};

inline void ExpectListings(const CliTree& tree, const std::vector<ListCase>& cases) {
  for (const ListCase& c : cases) {
    EXPECT_EQ(ListedBy(tree, c.flags), c.listed) << ::testing::PrintToString(c.flags);
  }
}

}  // namespace tarnwick::cli_test
