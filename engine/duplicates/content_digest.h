#pragma once
// The final digest of a file's content: the SHA-256 of exactly the bytes the open file
// reported when it was opened. Two files with equal digests hold equal bytes: no one
// knows how to make two files share a SHA-256, as one can for MD5 or a fast hash.

#include "engine/duplicates/digest_read.h"
#include "platform/read_only_file.h"
#include "platform/sha256_digest.h"

namespace tarnwick {

// The digest of the open file's Size() bytes. `digest` is set only when the result is
// Done; a failure of the digest library counts as Unreadable.
ReadEnd ContentDigestOf(platform::ReadOnlyFile& file, const StopRequest& stop,
                        platform::Sha256Value& digest);

// The digest of every empty file.
const platform::Sha256Value& EmptyContentDigest();

}  // namespace tarnwick
