#include "platform/heap_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>

namespace tarnwick::platform {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
constexpr int kLargestHeapBlock = 32 << 20;

}  // namespace

bool CanSetHeapAside() {
  // Under a limit on address space the stretch set aside would count against it.
  for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
    rlimit limit{};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur != RLIM_INFINITY) return false;
  }
  // With vm.overcommit_memory = 2 the system counts memory when it is set aside rather
  // than when it is used: the stretch would take from what others may have.
  std::ifstream mode("/proc/sys/vm/overcommit_memory");
  int value = 0;
  return !(mode >> value && value == 2);
}

void PreferHugePagesForHeap(std::size_t bytes) {
  if (!CanSetHeapAside()) return;
  // The heap grows by `bytes` at its next growth, and keeps what is freed at its top:
  // given back, that stretch would come again in small pages. Blocks of up to 32 MiB
  // come from the heap, as they do anyway once the first of them is freed.
  if (::mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock) == 0 ||
      ::mallopt(M_TOP_PAD, static_cast<int>(bytes)) == 0 ||
      ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * bytes)) == 0)
    return;
  // A block larger than the room left at the heap's top makes it grow now.
  const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
  const std::size_t room = ::mallinfo2().keepcost;
  if (room >= kLargestHeapBlock / 2) return;
  // Written to, so that the compiler keeps the block.
  char* volatile block = static_cast<char*>(std::malloc(room + 64 * 1024));
  if (block == nullptr) return;
  block[0] = 0;
  std::free(block);
  const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
  const std::uintptr_t start = (before + kHugePage - 1) & ~(kHugePage - 1);
  if (after <= start + kHugePage) return;
  ::madvise(reinterpret_cast<void*>(start), (after - start) & ~(kHugePage - 1), MADV_HUGEPAGE);
}

}  // namespace tarnwick::platform
