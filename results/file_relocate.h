#pragma once
// Moving one file to another path, on the same file system or across file systems.

#include <optional>
#include <string>

#include "results/file_copy.h"
#include "results/file_identity.h"

namespace tarnwick {

// Moves `source` to `target`, replacing a file already at `target` (unless `atTarget` is
// Keep: then the move fails with errno EEXIST, touching nothing). Within one file
// system this is a rename. Across file systems the file is copied completely (see
// CopyFileReplacing) and the source is removed only after the copy is safely on the
// disk; a failed copy leaves the source untouched and no partial target.
//
// Fails (nothing touched) when `target` leads to the same file as `source`: the move
// would destroy the only copy. When the copy succeeded but the source cannot be removed,
// fails too: the file then exists at both places and the move did not happen.
// On success returns the identity of the file now at `target`.
std::optional<FileId> RelocateFile(const std::string& source, const std::string& target,
                                   AtTarget atTarget = AtTarget::Replace);

}  // namespace tarnwick
