#pragma once
// SQLite's answers that tell a damaged database and a locked one.

#include <sqlite3.h>

namespace tarnwick::cache_failures {

inline bool IsDamage(int code) { return code == SQLITE_CORRUPT || code == SQLITE_NOTADB; }
inline bool IsLock(int code) { return code == SQLITE_BUSY || code == SQLITE_LOCKED; }

}  // namespace tarnwick::cache_failures
