#pragma once
// Copying one file over another, all or nothing.

#include <optional>
#include <string>

#include "results/file_identity.h"

namespace tarnwick {

// When the copy's bytes must be on the disk before it takes the target's name. Waiting
// for the disk costs milliseconds per file, so a plain copy waits only when it replaces
// a file (a crash must not leave the old file replaced by an unwritten one); a move
// always waits, since its source is removed next.
enum class CopySync { WhenReplacing, Always };

// What a copy or a move does with a file already at its target.
enum class AtTarget {
  Replace,  // it is replaced
  Keep,     // it stays: the copy or move fails with errno EEXIST, touching nothing
};

// Copies the regular file `source` to `target`, replacing a file already there (unless
// `atTarget` is Keep). The bytes go to a temporary file in the target's folder that is
// renamed over `target` only once complete: a failure at any point (a short or failed
// write, a full disk, a failed close) removes the temporary file and leaves `target` as
// it was. The copy gets the source's permission bits and times.
//
// Refused (false, nothing touched): `source` is not a regular file, or `target` leads
// to the same file as `source` (its own folder, or reached through a link), which an
// overwrite would destroy. On success returns the identity of the new `target`.
std::optional<FileId> CopyFileReplacing(const std::string& source, const std::string& target,
                                        CopySync sync, AtTarget atTarget = AtTarget::Replace);

}  // namespace tarnwick
