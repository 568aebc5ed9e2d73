// The heap set aside for huge pages: the stretch is there and advised where the system
// gives huge pages, nothing breaks where it does not, and blocks of every size still come
// and go. Run in a child process: the heap's settings last for the process.

#include "platform/heap_pages.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

// Runs `body` in a child process; its exit status, or -1 when it did not exit.
int InChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Allocates and frees blocks of many sizes, writing each whole; 0 when every byte
// read back is the one written.
int AllocateAndFreeMany() {
  std::vector<std::pair<char*, std::size_t>> blocks;
  for (std::size_t round = 0; round < 20000; ++round) {
    const std::size_t size = 16 + (round * 7919) % (round % 2000 == 0 ? (40u << 20) : 4096u);
    char* block = static_cast<char*>(std::malloc(size));
    if (!block) return 2;
    std::memset(block, static_cast<int>(round & 0x7F), size);
    blocks.emplace_back(block, size);
    if (round % 3 == 0) {
      auto& [old, oldSize] = blocks[round / 2];
      if (old && old[oldSize - 1] != static_cast<char>((round / 2) & 0x7F)) return 3;
      std::free(old);
      old = nullptr;
    }
  }
  for (auto& [block, size] : blocks) std::free(block);
  return 0;
}

bool HugePagesOffHere() {
  std::ifstream enabled("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string setting((std::istreambuf_iterator<char>(enabled)), {});
  return setting.empty() || setting.find("[never]") != std::string::npos;
}

TEST(HeapPagesTest, HeapSetAsideIsAdvisedAndBlocksStillComeAndGo) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer keeps a heap of its own";
#endif
  if (!platform::CanSetHeapAside()) GTEST_SKIP() << "address space is limited or counted here";
  const int advised = InChild([] {
    const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    platform::PreferHugePagesForHeap(std::size_t{64} << 20);
    const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    if (after < before + (std::size_t{64} << 20)) return 10;
    if (AllocateAndFreeMany() != 0) return 11;
    // Some mapping of the heap now takes huge pages.
    std::ifstream maps("/proc/self/smaps");
    bool inHeap = false;
    for (std::string line; std::getline(maps, line);) {
      // A mapping's first line starts with its address range.
      const bool header = !line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) &&
                          line.find('-') < line.find(' ');
      if (header) inHeap = line.find("[heap]") != std::string::npos;
      if (inHeap && line.rfind("THPeligible:", 0) == 0 && line.find('1') != std::string::npos)
        return 0;
    }
    return HugePagesOffHere() ? 0 : 12;
  });
  EXPECT_EQ(advised, 0);
}

// Under a limit on address space nothing is set aside, and the heap works as before.
TEST(HeapPagesTest, NothingIsSetAsideUnderAnAddressSpaceLimit) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves far more address space than the limit";
#endif
  const int limited = InChild([] {
    rlimit limit{std::size_t{1} << 30, std::size_t{1} << 30};
    if (::setrlimit(RLIMIT_AS, &limit) != 0) return 20;
    const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    platform::PreferHugePagesForHeap(std::size_t{512} << 20);
    const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    if (after != before) return 21;
    return AllocateAndFreeMany();
  });
  EXPECT_EQ(limited, 0);
}

}  // namespace
}  // namespace tarnwick
