#pragma once
// RegexObject: the program's one gateway to regular expressions (PCRE2, UTF mode).
// Patterns and texts are handed over in one text form, fixed at construction: the
// program's GB18030 text (content filter) or UTF-8 (file names).
// A pattern the engine rejects counts as no match (CompileError tells why it was
// rejected, so that a job can refuse it before it starts); a match that runs into the
// engine's limits counts as no match. Nothing throws and nothing hangs. In UTF-8 form,
// bytes that are not UTF-8 (a file name may hold any bytes) are matched as U+FFFD, one
// per bad sequence.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text/text_form.h"

namespace tarnwick {

class RegexObject {
 public:
  explicit RegexObject(TextForm form = TextForm::Gb18030);
  ~RegexObject();
  // A moved-from object may only be assigned to or destroyed.
  RegexObject(RegexObject&&) noexcept;
  RegexObject& operator=(RegexObject&&) noexcept;

  // Makes the engine; until then nothing matches. Calling it again changes nothing.
  void CreateEngine();
  // Unchanged pattern and flags: nothing happens. An empty pattern keeps the previous
  // one in force and only the flags are written. Always returns true.
  bool SetPattern(std::string_view pattern, bool ignoreCase = true, bool multiline = true,
                  bool global = true);
  // Why the engine rejects the pattern in force, as "message at character N" (N counted
  // from 1, where the engine stopped); nullopt when it compiles (or there is no engine).
  std::optional<std::string> CompileError();
  // Number of matches in text (0 or 1 when Global is off).
  int MatchCount(std::string_view text);
  // text with the matches replaced (every match with Global on, else the first); the
  // empty text when the engine is missing, the pattern was rejected or a limit was hit.
  // replacement is taken literally.
  std::string ReplaceAll(std::string_view text, std::string_view replacement);

  // Whether the pattern matches a text handed over in pieces (whole characters, in the
  // object's form, or UTF-8 with `form` Utf8): the answer MatchCount gives for the whole
  // text, found with partial matching, holding back only text a match found later could
  // still start in, and no more than 8 MiB of it: a partial match begun further back is
  // given up (the later ones are kept), and unless a match is found the answer is then
  // unknown (StreamUndecided).
  void StreamBegin(TextForm form);
  // True once a match is found.
  bool StreamTake(std::string_view piece);
  void StreamEnd();
  bool StreamFound() const;
  // After StreamEnd: no match was found, but a partial match had to be given up at the
  // memory bound, so the text may hold one all the same.
  bool StreamUndecided() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarnwick
