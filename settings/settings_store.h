#pragma once
// SettingsStore: reads and edits Tarnwick.ini, an INI-style UTF-8 text file.
//
// The store keeps the file's bytes in memory (the copy) and edits that copy by the
// file's own rules, so that everything it does not write — other sections, unknown
// keys, blank lines, the order of lines, bytes that are not valid UTF-8 — stays byte
// for byte as it was. Commit() then replaces the file with the copy atomically: a
// crash, a kill or a full disk during a save leaves either the old or the new file,
// whole.
//
// File rules, all on raw bytes:
// - Lines end in CR LF. A lone LF is not a line end.
// - A section header "[" + name + "]" counts only at the start of the file or right
//   after a CR LF. Names of sections and keys compare byte for byte (case and spaces
//   count, nothing is trimmed).
// - A key line "key=value" belongs to the section whose header precedes it, up to the
//   next header line. The value runs to the next CR LF or the end of the file.
// - A key that is not found is inserted as the first key of its section: right after
//   the header (when the header line goes on with a lone LF, as in a file with LF line
//   ends, the new line gets a CR LF of its own so its value does not swallow that line),
//   or after the header line when other bytes follow the "]" on it, which a new line
//   must not split off: they could read as a header or a key of their own. A section
//   that is not found is appended at the end of the file. A new file written key by key
//   therefore lists its keys in reverse order of first writing, with no CR LF after the
//   last value. Whatever the file held, what a save wrote is what the next load reads.
// - Text values store CR LF as "┊*┊"; numbers are decimal text; flags are "真"/"假".
//
// One thread uses the store. A write requested while another write is being carried
// out (for instance from an event handler that runs inside a message box the store
// shows) is queued: its caller gets false and it is carried out, in order, as soon as
// the running write ends.

#include <deque>
#include <string>

#include "engine/job/option_controls.h"

namespace tarnwick {

// Shows a message to the user. The desktop implements it with a message box; the
// command line writes to standard error.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Show(const std::string& text, const std::string& title, bool exclamationIcon) = 0;
};

class SettingsStore {
 public:
  // Forgets any file opened before, remembers path and loads the file into the copy.
  // A missing file is created empty. Returns true when the file was loaded (or
  // created) and can be replaced by Commit. Returns false when it exists but cannot be
  // read (no permission, not a regular file, read error) or cannot be created: the
  // store then works on its copy alone, reads give their defaults, and Commit never
  // replaces an existing file it could not read.
  bool Open(const std::string& path);

  // The path given to Open, empty before.
  const std::string& Path() const { return path_; }

  // The section every read and write works on; stays as last set.
  void SetSection(const std::string& name) { section_ = name; }

  // Writes change the copy only; Commit brings the file in line. A write returns true
  // when it has been carried out on the copy, false when it failed or was only queued.

  // Stores text with each CR LF replaced by "┊*┊".
  bool WriteText(const std::string& key, const std::string& text);
  // The stored text with each "┊*┊" turned back into CR LF; defaultText when the key
  // is missing (a key present with an empty value gives the empty text).
  std::string ReadText(const std::string& key, const std::string& defaultText) const;

  bool WriteNumber(const std::string& key, long long number);
  // The stored decimal text; 0 when it is not a whole number (a sign is allowed, no
  // other character); defaultNumber when the key is missing.
  long long ReadNumber(const std::string& key, long long defaultNumber) const;

  bool WriteFlag(const std::string& key, bool on);
  // True exactly when the stored text is "真" ("1" and "true" read as false);
  // defaultFlag when the key is missing.
  bool ReadFlag(const std::string& key, bool defaultFlag) const;

  // WriteFlag under the control's caption as it reads now, with its ticked state.
  bool SaveCheck(const OptionControls& options, Check check);
  // ReadFlag under the control's caption, with its present state as the default; puts
  // the result into the control (radio semantics of OptionControls::SetChecked apply)
  // and returns it.
  bool LoadCheck(OptionControls& options, Check check) const;

  // Replaces the file with the copy: a temporary file in the same folder, every write
  // and the close checked, fsync, rename over the file, fsync of the folder. Returns
  // true when the file now holds the copy, durably. On false LastError() says why, and
  // the copy again equals the file: mostly the file was left as it was (old content,
  // whole) and the copy returns to it; rarely the file was replaced but the folder
  // could not be flushed, and the copy stays as written.
  bool Commit();
  // Why the last Commit failed ("<path>: <reason>"); empty after a successful one.
  const std::string& LastError() const { return lastError_; }

  // Forgets the file and empties the copy. Writes not yet committed are dropped.
  void Close();

  // Where the store's one failure message goes (the sink is not owned; null = none).
  void SetMessageSink(MessageSink* sink) { sink_ = sink; }

 private:
  struct PendingWrite {
    std::string section;
    std::string key;
    std::string value;
  };

  bool Write(const std::string& key, const std::string& value);
  bool CarryOut(const PendingWrite& write);
  // The stored value of key in the current section, or false when it is missing.
  bool FindValue(const std::string& key, std::string* value) const;

  std::string path_;
  std::string copy_;
  std::string committed_;  // what the file holds, as far as the store knows
  std::string section_;
  std::string lastError_;
  std::deque<PendingWrite> queue_;
  bool busy_ = false;
  bool replaceable_ = false;  // false: the file exists but could not be read
  MessageSink* sink_ = nullptr;
};

}  // namespace tarnwick
