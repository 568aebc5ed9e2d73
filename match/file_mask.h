#pragma once
// The file-name mask of 编辑框过滤, applied by the lister that filters names itself.

#include <memory>
#include <string>
#include <string_view>

#include "match/regex_object.h"

namespace tarnwick {

class FileMask {
 public:
  // mask is UTF-8, as typed in 编辑框过滤 (bytes that are not UTF-8, possible from the
  // command line, are read as NameForMatching reads them); empty means "*". "*" and
  // "*.*" accept every name; "*.ext" (no other "*") compares the name's last bytes with
  // ".ext", ASCII case ignored, "?" and "|" taken literally; any other mask is a wildcard
  // pattern found anywhere in the name.
  void Build(std::string_view mask);
  // name is the bare file name as the file system gave it, matched as the window shows
  // it (NameForMatching). Before the first Build every name is accepted.
  bool Accepts(std::string_view name);

 private:
  enum class Kind { All, Extension, Wildcard };
  Kind kind_ = Kind::All;
  std::string extension_;
  std::unique_ptr<RegexObject> regex_;
};

}  // namespace tarnwick
