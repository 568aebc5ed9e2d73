#pragma once
// The heap of a program that keeps many small blocks (the window's list of rows: some
// 400 bytes a row, a million rows) in huge pages where the system gives them: filling it
// then costs a page fault every 2 MiB rather than every 4 KiB, and a page fault costs
// microseconds. Only the address space is set aside; memory is taken as it is used.

#include <cstddef>

namespace tarnwick::platform {

// What the programs set aside: room for a million rows of the window's list.
inline constexpr std::size_t kHeapSetAside = std::size_t{512} << 20;

// Whether address space may be set aside here: not under a limit on address space or
// data, nor where the system counts memory as it is set aside (strict overcommit).
bool CanSetHeapAside();

// Sets aside the next `bytes` of the heap and asks for huge pages there. Memory freed
// within them stays with the process for later rows, as freed heap memory mostly does.
// Call once, early, on the main thread. Where address space may not be set aside,
// nothing is; where the system has no huge pages, the stretch takes small ones.
void PreferHugePagesForHeap(std::size_t bytes = kHeapSetAside);

}  // namespace tarnwick::platform
