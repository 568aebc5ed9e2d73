#include "cli_process.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarnwick::cli_test {

const std::string& TestCacheHome() {
  static const struct Folder {
    Folder() {
      char pattern[] = "/tmp/tarnwick-cli-cache-XXXXXX";
      if (!mkdtemp(pattern)) std::abort();
      path = pattern;
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
    std::string path;
  } folder;
  return folder.path;
}

CliProcess::CliProcess(const std::vector<std::string>& args, const CliEnvironment& environment,
                       const std::vector<CliLimit>& limits) {
  int out[2], err[2];
  const std::string& cacheHome = TestCacheHome();
  if (pipe(out) != 0 || pipe(err) != 0) std::abort();
  pid_ = fork();
  if (pid_ == 0) {
    const std::string& stdoutPath = environment.stdoutPath;
    dup2(stdoutPath.empty() ? out[1] : open(stdoutPath.c_str(), O_WRONLY), STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(out[0]), close(out[1]), close(err[0]), close(err[1]);
    setenv("TZ", "UTC", 1);
    setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);
    for (const std::string& variable : environment.variables)
      putenv(const_cast<char*>(variable.c_str()));
    constexpr gid_t kNobody = 65534;
    if (environment.asOrdinaryUser && geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
         setresuid(kNobody, kNobody, kNobody) != 0)) {
      _exit(126);
    }
    for (const CliLimit& limit : limits) {
      const rlimit bound{limit.soft, limit.hard};
      if (setrlimit(limit.resource, &bound) != 0) _exit(125);
    }
    std::vector<char*> argv{const_cast<char*>(TARNWICK_CLI)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(TARNWICK_CLI, argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  outFd_ = out[0];
  errFd_ = err[0];
}

CliProcess::~CliProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (outFd_ >= 0) close(outFd_);
  if (errFd_ >= 0) close(errFd_);
}

void CliProcess::Signal(int signal) { kill(pid_, signal); }

long long CliProcess::BytesRead() const {
  std::ifstream io("/proc/" + std::to_string(pid_) + "/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

CliResult CliProcess::Wait(int timeoutSeconds) {
  CliResult result;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
  pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || poll(fds, 2, static_cast<int>(left.count())) <= 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
      return result;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[65536];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else {
        fds[i].fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

CliResult RunCli(const std::vector<std::string>& args, const CliEnvironment& environment,
                 const std::vector<CliLimit>& limits) {
  return CliProcess(args, environment, limits).Wait();
}

std::vector<std::string> SplitRecords(const std::string& text, char separator) {
  std::vector<std::string> records;
  std::istringstream in(text);
  for (std::string record; std::getline(in, record, separator);) records.push_back(record);
  return records;
}

}  // namespace tarnwick::cli_test
