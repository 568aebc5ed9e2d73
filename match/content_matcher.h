#pragma once
// The content filter's test in the three match modes, built afresh for every folder.

#include <string>
#include <string_view>

#include "engine/option_controls.h"
#include "match/regex_object.h"

namespace tarnwick {

class ContentMatcher {
 public:
  // Reads 编辑框筛选内容 now and compiles the wildcard and regex objects from it
  // (IgnoreCase and Multiline on, Global off). Building again gives the same objects as
  // a fresh matcher would; an unchanged pattern is not compiled again.
  void Build(const OptionControls& options);
  // Reads the mode (and, in Default mode, the pattern) from options at each call.
  // text is the program's GB18030 text. Before the first Build the wildcard and regex
  // modes find nothing.
  bool Found(const OptionControls& options, std::string_view text);

  // True in Default mode with a pattern of ASCII only (read now): its pieces occur in
  // valid UTF-8 bytes exactly where they occur in the text those bytes convert to, so
  // FoundInUtf8 may answer for a file's text without converting it.
  bool SearchesUtf8Bytes(const OptionControls& options);
  // Found for the text that `utf8`, valid UTF-8, converts to, with the pattern the last
  // SearchesUtf8Bytes read; only after it returned true.
  bool FoundInUtf8(std::string_view utf8) const;

 private:
  RegexObject wildcard_{TextForm::Gb18030};
  RegexObject regex_{TextForm::Gb18030};
  std::string cachedPatternUtf8_;
  std::string cachedPatternGb_;

  // The pattern as it reads now, converted only when it has changed since the last read.
  const std::string& CurrentPattern(const OptionControls& options);
};

}  // namespace tarnwick
