#pragma once
// The content filter's test and the file-name mask, built afresh for every folder.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/option_controls.h"
#include "match/regex_object.h"

namespace tarnwick {

enum class MatchMode { Default = 0, Wildcard = 1, Regex = 2 };

// "*" → ".*", "?" → ".?", the thirteen escape-set characters get a backslash.
std::string WildcardToRegex(std::string_view text);

// Default mode: the "|"-separated pieces of pattern searched literally in text, ASCII
// letter case ignored, stepping through GB18030 characters (never matching across a
// double-byte character). Both in GB18030. An empty pattern is found in every text.
bool FindAnyAlternative(std::string_view text, std::string_view pattern);

// Splits at "|" as the walk and FindAnyAlternative do: a trailing "|" gives no empty
// last piece, other empty pieces remain, a "|" trail byte of a double-byte character
// is not a separator.
std::vector<std::string_view> SplitAlternatives(std::string_view pattern);

class ContentMatcher {
 public:
  // Reads 编辑框筛选内容 now and compiles the wildcard and regex objects from it.
  void Build(const OptionControls& options);
  // Reads the mode (and, in Default mode, the pattern) from options at each call.
  // text is the program's GB18030 text.
  bool Found(const OptionControls& options, std::string_view text);

 private:
  RegexObject wildcard_{TextForm::Gb18030};
  RegexObject regex_{TextForm::Gb18030};
  std::string cachedPatternUtf8_;
  std::string cachedPatternGb_;
};

class FileMask {
 public:
  // mask is UTF-8, as typed in 编辑框过滤; empty means "*".
  void Build(std::string_view mask);
  // name is the bare file name as the file system gave it.
  bool Accepts(std::string_view name);

 private:
  enum class Kind { All, Extension, Wildcard };
  Kind kind_ = Kind::All;
  std::string extension_;
  std::unique_ptr<RegexObject> regex_;
};

}  // namespace tarnwick
