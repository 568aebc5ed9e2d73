#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "cache/digest_cache.h"

namespace tarnwick {

std::string DefaultDigestCachePath() {
  const char* cacheHome = std::getenv("XDG_CACHE_HOME");
  std::string base;
  if (cacheHome && cacheHome[0] == '/') {
    base = cacheHome;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) {
      const passwd* user = ::getpwuid(::getuid());
      home = user && user->pw_dir ? user->pw_dir : "/";
    }
    base = std::string(home) + "/.cache";
  }
  return base + "/tarnwick/digests.sqlite";
}

}  // namespace tarnwick
