#pragma once
// The heap of a program that keeps many small blocks (the window's list of rows: some
// 400 bytes a row, a million rows) in huge pages where the system gives them: filling it
// then costs a page fault every 2 MiB rather than every 4 KiB, and a page fault costs
// microseconds. Only the address space is set aside; memory is taken as it is used.

#include <cstddef>

namespace tarnwick::platform {

// Sets aside the next `bytes` of the heap and asks for huge pages there. Memory freed
// within them stays with the process for later rows, as freed heap memory mostly does.
// Call once, early, on the main thread. Under a limit on address space, or where the
// system counts memory as it is set aside (strict overcommit), nothing is set aside;
// where it has no huge pages, the stretch takes small ones.
void PreferHugePagesForHeap(std::size_t bytes);

}  // namespace tarnwick::platform
