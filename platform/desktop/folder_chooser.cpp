#include "platform/desktop/folder_chooser.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <QStringList>
#include <vector>

namespace tarnwick {
namespace {

bool Exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string Child(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The entries of `folder` whose names Qt shows as `shown`.
std::vector<std::string> EntriesShownAs(const std::string& folder, const QString& shown) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!listing) return names;
  while (const dirent* entry = ::readdir(listing)) {
    if (QFile::decodeName(entry->d_name) == shown) names.emplace_back(entry->d_name);
  }
  ::closedir(listing);
  return names;
}

std::string Encoded(const QString& text) { return QFile::encodeName(text).toStdString(); }

// A byte that is not UTF-8 rides in a QString as this plus the byte (0x80 to 0xFF).
constexpr char16_t kEscapeBase = 0xDC00;

// The length of the well-formed UTF-8 sequence at `pos`, or 0 when there is none.
std::size_t Utf8SequenceLength(const std::string& bytes, std::size_t pos) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(pos);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;   // bounds of the second byte: no overlong forms, no
  unsigned char high = 0xBF;  // surrogates, nothing above U+10FFFF
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (pos + length > bytes.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = at(pos + i);
    if (i == 1 ? next < low || next > high : next < 0x80 || next > 0xBF) return 0;
  }
  return length;
}

// The bytes FolderAnswerText put into `text`; nullopt when it carries none. A carried
// byte is a lone low surrogate: one that completes a pair is half of a character.
std::optional<std::string> CarriedBytes(const QString& text) {
  std::string bytes;
  bool carries = false;
  qsizetype runStart = 0;  // characters since the last carried byte
  const auto flush = [&](qsizetype end) {
    bytes += text.mid(runStart, end - runStart).toStdString();
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    const bool paired = i > 0 && text[i - 1].isHighSurrogate();
    if (paired || unit < kEscapeBase + 0x80 || unit > kEscapeBase + 0xFF) continue;
    flush(i);
    bytes += static_cast<char>(unit - kEscapeBase);
    runStart = i + 1;
    carries = true;
  }
  if (!carries) return std::nullopt;
  flush(text.size());
  return bytes;
}

}  // namespace

QString FolderAnswerText(const std::string& bytes) {
  QString text;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, pos);
    if (length == 0) {
      text += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[pos])));
      ++pos;
      continue;
    }
    text += QString::fromUtf8(bytes.data() + pos, static_cast<qsizetype>(length));
    pos += length;
  }
  return text;
}

std::optional<std::string> FolderOnDisk(const QString& chosen) {
  if (std::optional<std::string> carried = CarriedBytes(chosen)) {
    if (!IsFolder(*carried)) return std::nullopt;
    return carried;
  }
  const std::string written = Encoded(chosen);
  if (chosen.isEmpty() || IsFolder(written)) return written;
  std::string path = chosen.startsWith(QLatin1Char('/')) ? "/" : "";
  for (const QString& part : chosen.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    const std::string asWritten = Child(path, Encoded(part));
    if (Exists(asWritten)) {
      path = asWritten;
      continue;
    }
    const std::vector<std::string> matches = EntriesShownAs(path, part);
    if (matches.size() != 1) return std::nullopt;
    path = Child(path, matches.front());
  }
  if (!IsFolder(path)) return std::nullopt;
  return path;
}

QString DialogStartFolder(const std::string& folder) {
  for (std::string path = folder;;) {
    const QString shown = QFile::decodeName(QByteArray::fromStdString(path));
    if (Encoded(shown) == path) return shown;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    path = slash == 0 ? "/" : path.substr(0, slash);
  }
}

}  // namespace tarnwick
