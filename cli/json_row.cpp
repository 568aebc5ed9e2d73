#include "cli/json_row.h"

#include <openssl/evp.h>

#include <cstdio>

#include "match/utf8_repair.h"
#include "platform/file_times.h"
#include "text/path_display.h"
#include "text/text_loader.h"

namespace tarnwick::cli {
namespace {

// `utf8` as a JSON string, quotes included. Runs of characters that need no escape
// are copied whole.
std::string Quoted(std::string_view utf8) {
  std::string text = "\"";
  text.reserve(utf8.size() + 2);
  std::size_t plain = 0;
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const auto c = static_cast<unsigned char>(utf8[at]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    text.append(utf8, plain, at - plain);
    plain = at + 1;
    switch (c) {
      case '"':
        text += "\\\"";
        break;
      case '\\':
        text += "\\\\";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\t':
        text += "\\t";
        break;
      case '\r':
        text += "\\r";
        break;
      default: {
        char escape[7];
        std::snprintf(escape, sizeof escape, "\\u%04x", c);
        text += escape;
      }
    }
  }
  text.append(utf8, plain);
  return text + "\"";
}

std::string Base64(std::string_view bytes) {
  std::string text(4 * ((bytes.size() + 2) / 3), '\0');
  EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                  reinterpret_cast<const unsigned char*>(bytes.data()),
                  static_cast<int>(bytes.size()));
  return text;
}

// "2013-01-01T08:00:00+08:00"; nullopt when the system cannot represent the time.
std::optional<std::string> IsoTime(std::time_t seconds) {
  const std::optional<platform::LocalTime> local = platform::ToLocalTime(seconds);
  if (!local) return std::nullopt;
  const long offset = local->utcOffset < 0 ? -local->utcOffset : local->utcOffset;
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", local->year,
                local->month, local->day, local->hour, local->minute, local->second,
                local->utcOffset < 0 ? '-' : '+', offset / 3600, offset / 60 % 60);
  return text;
}

// Nanoseconds since the epoch; nullopt beyond 64 bits (before 1677 or after 2262).
std::optional<long long> EpochNanoseconds(const timespec& time) {
  long long nanoseconds = 0;
  if (__builtin_mul_overflow(static_cast<long long>(time.tv_sec), 1'000'000'000LL, &nanoseconds) ||
      __builtin_add_overflow(nanoseconds, static_cast<long long>(time.tv_nsec), &nanoseconds)) {
    return std::nullopt;
  }
  return nanoseconds;
}

}  // namespace

std::string JsonRow(const ResultRow& row, const std::optional<platform::FileDetails>& details) {
  const std::string path = row.folder + row.name;
  std::string json = "{\"path\":" + Quoted(PathDisplayUtf8(path));
  if (!IsValidUtf8(path)) json += ",\"path_base64\":\"" + Base64(path) + "\"";
  json += ",\"name\":" + Quoted(PathDisplayUtf8(row.name));
  json += ",\"folder\":" + Quoted(PathDisplayUtf8(row.folder));
  if (details) {
    json += ",\"size\":" + std::to_string(details->size);
    for (const auto& [key, time] :
         {std::pair{"created", &details->created}, std::pair{"modified", &details->modified},
          std::pair{"accessed", &details->accessed}}) {
      if (const auto iso = IsoTime(time->tv_sec))
        json += ",\"" + std::string(key) + "\":\"" + *iso + "\"";
      if (const auto ns = EpochNanoseconds(*time)) {
        json += ",\"" + std::string(key) + "_ns\":" + std::to_string(*ns);
      }
    }
  }
  if (row.characters >= 0) json += ",\"characters\":" + std::to_string(row.characters);
  if (row.encoding != 0) json += ",\"encoding\":" + Quoted(DisplayName(row.encoding));
  if (row.group != 0) json += ",\"group\":" + std::to_string(row.group);
  if (row.similarity >= 0) {
    json += ",\"similarity\":" + std::to_string(row.similarity / 10) + "." +
            std::to_string(row.similarity % 10);
  }
  return json + "}";
}

}  // namespace tarnwick::cli
