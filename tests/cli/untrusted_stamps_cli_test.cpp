// On file systems where a file's change time follows its modification time (vfat,
// exFAT, NTFS and many FUSE file systems), a copy over a file with its times put back
// gives it new content under its old stamp. The digest cache must not answer for such
// files: they are read on every run. Shown on a read-only FUSE view of a folder that
// reports change times that way (needs /dev/fuse and Debian's python3-fusepy).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

bool FusepyAvailable() {
  if (::access("/dev/fuse", R_OK | W_OK) != 0 || ::access(kPython, X_OK) != 0) return false;
  const std::string probe = std::string(kPython) +
                            " -c 'import importlib.util,sys; sys.exit(0 if "
                            "importlib.util.find_spec(\"fusepy\") or "
                            "importlib.util.find_spec(\"fuse\") else 1)' 2>/dev/null";
  return std::system(probe.c_str()) == 0;
}

// The FUSE view of `backing` at `mountPoint`, for as long as the object lives.
class StampView {
 public:
  StampView(const std::string& backing, const std::string& mountPoint) : mountPoint_(mountPoint) {
    struct stat before {};
    ::stat(mountPoint.c_str(), &before);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::execl(kPython, kPython, TARNWICK_STAMP_PASSTHROUGH, backing.c_str(), mountPoint.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Mounted once the mount point is on another device.
    for (int waited = 0; waited < 5000 && !mounted_; waited += 20) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      struct stat now {};
      mounted_ = ::stat(mountPoint.c_str(), &now) == 0 && now.st_dev != before.st_dev;
    }
  }
  ~StampView() {
    if (mounted_ && ::umount2(mountPoint_.c_str(), MNT_DETACH) != 0) {
      const std::string unmount = "fusermount -u '" + mountPoint_ + "' 2>/dev/null";
      if (std::system(unmount.c_str()) != 0) ::kill(pid_, SIGTERM);
    }
    if (!mounted_) ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string mountPoint_;
  pid_t pid_ = -1;
  bool mounted_ = false;
};

// Copies `from` over `to` and puts `to`'s times back, as `cp` then `touch -r` would.
void CopyKeepingTimes(const std::string& from, const std::string& to) {
  struct stat before {};
  ASSERT_EQ(::stat(to.c_str(), &before), 0);
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, to.c_str(), times, 0), 0);
}

TEST(UntrustedStamps, CachedRunOnAFileSystemWhoseChangeTimeFollowsTheContentReadsAgain) {
  if (!FusepyAvailable()) GTEST_SKIP() << "no /dev/fuse or no python3-fusepy";
  CliTree backing, view, home;
  backing.File("c.txt", "same content\n");
  backing.File("x.txt", "same content\n");
  backing.File("z.txt", "diff content\n");
  StampView mounted(backing.Root(), view.Root());
  if (!mounted.Mounted()) GTEST_SKIP() << "the FUSE view could not be mounted here";

  const CliEnvironment cache{
      .variables = {"XDG_CACHE_HOME=" + home.Root()}, .asOrdinaryUser = false, .stdoutPath = {}};
  const std::vector<std::string> job = {"-q",  "--scope",      "tree", "--dup",
                                        "md5", "--dup-output", "all",  view.Root()};
  const CliResult first = RunCli(job, cache);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(view.Relative(SplitRecords(first.out)), (std::vector<std::string>{"c.txt", "x.txt"}));

  // Settled, so a trusting cache would keep what it read; then x.txt takes z.txt's
  // bytes under its old stamp.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  ASSERT_EQ(RunCli(job, cache).out, first.out);
  CopyKeepingTimes(backing.Path("z.txt"), backing.Path("x.txt"));
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // FUSE's attribute cache

  const CliResult again = RunCli(job, cache);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(view.Relative(SplitRecords(again.out)), (std::vector<std::string>{"x.txt", "z.txt"}));
  const CliResult info = RunCli({"--cache-info"}, cache);
  EXPECT_NE(info.out.find("entries: 0\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("passed by: fuse"), std::string::npos) << info.out;
}

}  // namespace
}  // namespace tarnwick::cli_test
