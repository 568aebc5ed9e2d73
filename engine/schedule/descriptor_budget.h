#pragma once
// How many folders a job may hold open at once, for each of its two holders: the walk
// on its way down, and the batches of file work in flight. Each gets a quarter of the
// descriptors the process may have, so the files the work opens and the program's
// other files find room too.

#include <cstddef>

namespace tarnwick {

std::size_t FolderDescriptorBudget();

}  // namespace tarnwick
