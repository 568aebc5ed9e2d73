#pragma once
// The length filter: tests a file's size or the character count of its decoded
// content against the inclusive range of 编辑框长度起始 .. 编辑框长度终止, in the unit
// of the selected unit button.

#include <cstdint>
#include <functional>

#include "engine/filters/character_measure.h"
#include "engine/job/option_controls.h"
#include "platform/file_ref.h"
#include "text/byte_source.h"

namespace tarnwick {

class LengthFilter {
 public:
  struct Result {
    bool pass = false;
    std::int64_t size = 0;        // the file's size (0 when it cannot be measured)
    std::int64_t characters = 0;  // the character count, when counted
    bool countedCharacters = false;
    int encoding = 0;      // the TextEncoding the content was read as; 0: not read
    int error = 0;         // the errno of a file that could not be opened or read
    bool stopped = false;  // the count was stopped on request: no result
  };

  // Measures the file by the selected measure and compares it with the bounds. Options
  // are read at the moment of the call. A count is stopped between two pieces of the
  // file once `stopRequested` (when set) says so.
  // `content`, when given, is where the file's content comes from (read ahead for it).
  Result Test(const platform::FileRef& file, const OptionControls& options,
              const std::function<bool()>& stopRequested = {}, FileContent* content = nullptr);

 private:
  CharacterMeasure measure_;
};

}  // namespace tarnwick
