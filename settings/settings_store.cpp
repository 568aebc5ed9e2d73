#include "settings/settings_store.h"

#include "settings/ini_layout.h"
#include "settings/value_encoding.h"
#include "settings/whole_file.h"

namespace tarnwick {
namespace {

// A write appends its section header at most this many times before it gives up.
constexpr int kMaxAddedHeaders = 11;

std::string HeaderOf(const std::string& section) { return "[" + section + "]"; }

// A new key line and where it goes: first in its section, right after the header's
// "]" when the header line ends there, or goes on with a lone LF (an LF-only file; the
// new line then gets a CR LF of its own, so that its value does not run into that line,
// which no reader takes for a key or a header). Other bytes after the "]" (a hand-edited
// "[主界面][丶][主界面]") stay on the header line and the key goes after it: split off
// onto a line of their own they could become a header that ends the section, or a key
// line that hides one saved before, and the next load would restore other options than
// were saved.
struct KeyInsertion {
  std::size_t offset;
  std::string bytes;
};

KeyInsertion NewKeyLine(std::string_view copy, std::size_t headerClose, const std::string& key,
                        const std::string& value) {
  const std::string lineEnd(kLineEnd);
  const std::string line = key + "=" + value;
  const std::string_view rest = copy.substr(headerClose + 1);
  if (rest.empty() || rest.starts_with(kLineEnd)) return {headerClose + 1, lineEnd + line};
  if (rest.starts_with('\n')) return {headerClose + 1, lineEnd + line + lineEnd};
  const std::size_t headerLineEnd = copy.find(kLineEnd, headerClose);
  if (headerLineEnd == std::string_view::npos) return {copy.size(), lineEnd + line};
  return {headerLineEnd + kLineEnd.size(), line + lineEnd};
}

}  // namespace

bool SettingsStore::Open(const std::string& path) {
  Close();
  path_ = path;
  ReadOutcome outcome = ReadWholeFile(path, copy_);
  if (outcome == ReadOutcome::Missing && CreateFileIfMissing(path)) {
    // Someone else may have created it in between: read what is there.
    outcome = ReadWholeFile(path, copy_);
  }
  committed_ = copy_;
  replaceable_ = outcome != ReadOutcome::Unreadable;
  return outcome == ReadOutcome::Loaded;
}

void SettingsStore::Close() {
  path_.clear();
  copy_.clear();
  committed_.clear();
  queue_.clear();
  lastError_.clear();
  replaceable_ = false;
}

bool SettingsStore::FindValue(const std::string& key, std::string* value) const {
  const std::string header = HeaderOf(section_);
  const std::optional<std::size_t> at = FindSectionHeader(copy_, header, 0);
  if (!at) return false;
  const std::optional<ValueSpan> span = FindKeyValue(copy_, *at + header.size() - 1, key);
  if (!span) return false;
  value->assign(copy_, span->begin, span->end - span->begin);
  return true;
}

bool SettingsStore::Write(const std::string& key, const std::string& value) {
  queue_.push_back({section_, key, value});
  if (busy_) return false;
  busy_ = true;
  bool firstResult = false;
  for (bool first = true; !queue_.empty(); first = false) {
    const PendingWrite write = queue_.front();
    const bool carriedOut = CarryOut(write);
    queue_.pop_front();
    if (first) firstResult = carriedOut;
  }
  busy_ = false;
  return firstResult;
}

bool SettingsStore::CarryOut(const PendingWrite& write) {
  const std::string header = HeaderOf(write.section);
  std::size_t searchFrom = 0;
  for (int added = 0; added < kMaxAddedHeaders; ++added) {
    if (const std::optional<std::size_t> at = FindSectionHeader(copy_, header, searchFrom)) {
      const std::size_t headerClose = *at + header.size() - 1;
      if (const std::optional<ValueSpan> span = FindKeyValue(copy_, headerClose, write.key)) {
        copy_.replace(span->begin, span->end - span->begin, write.value);
        return true;
      }
      const KeyInsertion insertion = NewKeyLine(copy_, headerClose, write.key, write.value);
      copy_.insert(insertion.offset, insertion.bytes);
      return true;
    }
    searchFrom = copy_.size();
    copy_ += copy_.empty() ? header : std::string(kLineEnd) + header;
  }
  if (sink_ != nullptr) {
    // Copy first: the sink may run handlers that write meanwhile.
    const std::string snapshot = copy_;
    sink_->Show("配置模块出现意外，可能导致无法正常保存！详情请咨询Brellin。", "Brellin：", true);
    sink_->Show(snapshot, "信息：", false);
  }
  return false;
}

bool SettingsStore::WriteText(const std::string& key, const std::string& text) {
  return Write(key, EncodeLineBreaks(text));
}

std::string SettingsStore::ReadText(const std::string& key, const std::string& defaultText) const {
  std::string stored;
  if (!FindValue(key, &stored)) return defaultText;
  return DecodeLineBreaks(stored);
}

bool SettingsStore::WriteNumber(const std::string& key, long long number) {
  return Write(key, std::to_string(number));
}

long long SettingsStore::ReadNumber(const std::string& key, long long defaultNumber) const {
  std::string stored;
  if (!FindValue(key, &stored)) return defaultNumber;
  return ParseStoredNumber(stored);
}

bool SettingsStore::WriteFlag(const std::string& key, bool on) {
  return Write(key, std::string(on ? kFlagOn : kFlagOff));
}

bool SettingsStore::ReadFlag(const std::string& key, bool defaultFlag) const {
  std::string stored;
  if (!FindValue(key, &stored)) return defaultFlag;
  return stored == kFlagOn;
}

bool SettingsStore::SaveCheck(const OptionControls& options, Check check) {
  return WriteFlag(options.Caption(check), options.IsChecked(check));
}

bool SettingsStore::LoadCheck(OptionControls& options, Check check) const {
  const bool on = ReadFlag(options.Caption(check), options.IsChecked(check));
  options.SetChecked(check, on);
  return on;
}

bool SettingsStore::Commit() {
  lastError_.clear();
  if (path_.empty()) {
    lastError_ = "no settings file is open";
    return false;
  }
  if (!replaceable_) {
    lastError_ = path_ + ": the file could not be read, so it is left as it is";
    copy_ = committed_;
    return false;
  }
  const ReplaceResult result = ReplaceFile(path_, copy_);
  if (!result.replaced) {
    lastError_ = path_ + ": " + result.error;
    copy_ = committed_;
    return false;
  }
  committed_ = copy_;
  if (!result.error.empty()) lastError_ = path_ + ": " + result.error;
  return result.error.empty();
}

}  // namespace tarnwick
