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

// "*" → ".*", "?" → ".?", and each of \ ^ $ + . { } [ ] = ( ) " gets a backslash;
// "|" stays and separates alternatives; the result is not anchored. text is in form
// (UTF-8 for file masks, the program's GB18030 text for the content filter) and the
// result is in the same form; in GB18030 the trail byte of a double-byte character is
// never taken for one of these characters.
std::string WildcardToRegex(std::string_view text, TextForm form = TextForm::Utf8);

// Default mode: the "|"-separated pieces of pattern searched literally in text, ASCII
// letter case ignored, stepping through GB18030 characters (never matching across a
// double-byte character). Both in GB18030. An empty pattern is found in every text; an
// empty piece («a||b») in every text but the empty one.
bool FindAnyAlternative(std::string_view text, std::string_view pattern);

// Splits at "|" as the walk and FindAnyAlternative do: the empty text gives no pieces,
// a trailing "|" gives no empty last piece, other empty pieces remain, nothing is
// trimmed. In GB18030 form a "|" trail byte of a double-byte character is not a
// separator; in UTF-8 (the form of 编辑框过滤) every "|" byte is one. The views point
// into pattern.
std::vector<std::string_view> SplitAlternatives(std::string_view pattern,
                                                TextForm form = TextForm::Utf8);

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

 private:
  RegexObject wildcard_{TextForm::Gb18030};
  RegexObject regex_{TextForm::Gb18030};
  std::string cachedPatternUtf8_;
  std::string cachedPatternGb_;
};

class FileMask {
 public:
  // mask is UTF-8, as typed in 编辑框过滤; empty means "*". "*" and "*.*" accept every
  // name; "*.ext" (no other "*") compares the name's last bytes with ".ext", ASCII case
  // ignored, "?" and "|" taken literally; any other mask is a wildcard pattern found
  // anywhere in the name.
  void Build(std::string_view mask);
  // name is the bare file name as the file system gave it (bytes that are not UTF-8
  // match nothing but do not stop the rest of the name from matching). Before the first
  // Build every name is accepted.
  bool Accepts(std::string_view name);

 private:
  enum class Kind { All, Extension, Wildcard };
  Kind kind_ = Kind::All;
  std::string extension_;
  std::unique_ptr<RegexObject> regex_;
};

}  // namespace tarnwick
