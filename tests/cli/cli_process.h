#pragma once
// Runs the built tarnwick-cli in a child process with TZ=UTC (so time texts are the
// same on every machine) and XDG_CACHE_HOME in a temporary folder of the test program
// (so no test touches the user's digest cache), and collects its standard output,
// standard error and status.

#include <sys/resource.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace tarnwick::cli_test {

struct CliResult {
  int status = -1;  // exit status; 128 + signal number when a signal ended it
  std::string out;
  std::string err;
};

// How the child runs beyond its arguments.
struct CliEnvironment {
  // "NAME=value", set in the child over what the harness sets (TZ, XDG_CACHE_HOME).
  std::vector<std::string> variables;
  // Give up root (for the user nobody) when the tests run as root, so that permissions
  // apply to the program as they do to any user; the tree must be open to others.
  bool asOrdinaryUser = false;
  // Standard output goes to this file instead of to the result's `out` when set.
  std::string stdoutPath;
};

// A resource limit (RLIMIT_AS, RLIMIT_NOFILE...) the child starts under.
struct CliLimit {
  int resource;
  rlim_t soft;
  rlim_t hard;
};

class CliProcess {
 public:
  explicit CliProcess(const std::vector<std::string>& args, const CliEnvironment& environment = {},
                      const std::vector<CliLimit>& limits = {});
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  void Signal(int signal);
  // Bytes the program has read so far (rchar of /proc/PID/io); 0 when unknown.
  long long BytesRead() const;
  // Reads both streams to their end and waits. A run longer than `timeoutSeconds` is
  // killed and reported with status -1 (a hang is a failure, not a stuck test).
  CliResult Wait(int timeoutSeconds = 30);

 private:
  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
};

// Runs to the end.
CliResult RunCli(const std::vector<std::string>& args, const CliEnvironment& environment = {},
                 const std::vector<CliLimit>& limits = {});

// The XDG_CACHE_HOME every run gets unless it sets its own: one temporary folder for
// the whole test program, removed at its exit.
const std::string& TestCacheHome();

// Splits `text` at `separator`; no empty last element for a trailing separator.
std::vector<std::string> SplitRecords(const std::string& text, char separator = '\n');

}  // namespace tarnwick::cli_test
