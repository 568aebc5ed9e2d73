#pragma once
// The length filter: tests a file's size or the character count of its decoded
// content against the inclusive range of 编辑框长度起始 .. 编辑框长度终止, in the unit
// of the selected unit button.

#include <cstdint>
#include <string>

#include "engine/option_controls.h"
#include "match/regex_object.h"

namespace tarnwick {

class LengthFilter {
 public:
  // Readies the two stripping objects: tags "<[\s\S]+?>" and white space "\s", both
  // case-insensitive, multiline and global. Called on entry to each folder.
  void PrepareFolder();

  struct Result {
    bool pass = false;
    std::int64_t size = 0;        // the file's size (0 when it cannot be measured)
    std::int64_t characters = 0;  // the character count, when counted
    bool countedCharacters = false;
  };

  // Measures the file by the selected measure and compares it with the bounds.
  // Options are read at the moment of the call.
  Result Test(const std::string& path, const OptionControls& options);

 private:
  RegexObject stripTags_{TextForm::Gb18030};
  RegexObject stripSpace_{TextForm::Gb18030};
  bool prepared_ = false;
};

}  // namespace tarnwick
