#pragma once
// The content filter: the file's name and/or its decoded content must contain the
// pattern of 编辑框筛选内容 (包含内容) or must not (不含内容).

#include <functional>

#include "engine/job/option_controls.h"
#include "match/content_matcher.h"
#include "platform/file_ref.h"
#include "text/byte_source.h"

namespace tarnwick {

struct ContentTestResult {
  bool pass = false;
  int encoding = 0;      // the TextEncoding the content was read as; 0: not read
  int error = 0;         // the errno of a file that could not be opened or read
  bool stopped = false;  // reading was stopped on request: no result
  // The content could not be searched whole within the memory bound and nothing was
  // found: the file neither passes nor is said to lack the pattern.
  bool undecided = false;
};

// Whether the file passes. Every ticked target must agree with the expectation; with
// neither 选择框文件名 nor 选择框文件内容 ticked every file passes. `matcher` is the
// worker's, built with the folder's pattern. The name test sees the part of the path
// after the last "/". The content is streamed and read only as far as the answer needs
// (a file that cannot be read is the empty text); reading stops between two pieces once
// `stopRequested` (when set) says so.
// `content`, when given, is where the file's content comes from (read ahead for it).
ContentTestResult ContentFilterTest(const platform::FileRef& file, ContentMatcher& matcher,
                                    const OptionControls& options,
                                    const std::function<bool()>& stopRequested = {},
                                    FileContent* content = nullptr);

}  // namespace tarnwick
