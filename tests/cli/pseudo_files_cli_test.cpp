// /proc and /sys report their files as empty while they have content (and some give
// data without end): a duplicate search of them ends promptly and lists no group of
// files with content, whose bytes differ from one another.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

TEST(PseudoFiles, FilesThatReportNoBytesButHaveSomeAreNeverDuplicates) {
  for (const char* folder : {"/proc/self", "/sys/kernel"}) {
    const auto start = std::chrono::steady_clock::now();
    const CliResult result = RunCli(
        {"-q", "--no-cache", "--scope", "tree", "--dup", "md5", "--dup-output", "all", folder});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << folder;
    EXPECT_TRUE(result.status == 0 || result.status == 1) << folder << ": " << result.err;
    // Whatever is listed truly reads as nothing. A task's stack, system call and wait
    // channel read as nothing while it runs and as something while it sleeps: read again
    // here they may differ from what the job read, and are not looked at.
    for (const std::string& path : SplitRecords(result.out)) {
      const std::string name = path.substr(path.rfind('/') + 1);
      if (name == "stack" || name == "syscall" || name == "wchan") continue;
      const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) continue;  // gone with its process
      char byte;
      EXPECT_LE(::read(fd, &byte, 1), 0) << path << " has content";
      ::close(fd);
    }
  }
}

}  // namespace
}  // namespace tarnwick::cli_test
