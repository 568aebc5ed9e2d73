#pragma once
// How many descriptors each holder in a job may keep open at once. The process's soft
// limit, less a reserve for the program's own files (standard streams, the digest
// cache, the window's), is shared six ways: the folders the walk keeps open on its way
// down, the folders of the file batches out, the files their workers have open, two
// shares for the key finder's reads (a folder and a file each), and one spare. Bounding
// every holder this way keeps a job within the limit whatever its thread count.

#include <cstddef>

namespace tarnwick {

// One share: at least 1, at most 256.
std::size_t DescriptorShare();

}  // namespace tarnwick
