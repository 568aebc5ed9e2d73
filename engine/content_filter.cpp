#include "engine/content_filter.h"

#include "text/program_text.h"
#include "text/text_loader.h"

namespace tarnwick {
namespace {

bool ContentFound(const std::string& path, ContentMatcher& matcher, const OptionControls& options) {
  // An ASCII pattern is searched in UTF-8 content as it stands, which spares converting
  // the whole file and gives the same answer.
  if (!matcher.SearchesUtf8Bytes(options)) {
    return matcher.Found(options, LoadTextView(path, Utf8Content::Convert).text);
  }
  const TextView content = LoadTextView(path, Utf8Content::KeepBytes);
  if (content.utf8Bytes) return matcher.FoundInUtf8(content.text);
  return matcher.Found(options, content.text);
}

}  // namespace

bool ContentFilterTest(const std::string& path, ContentMatcher& matcher,
                       const OptionControls& options) {
  const bool expect = options.IsChecked(Check::ContainsContent);
  if (options.IsChecked(Check::InName)) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string::npos
                                      ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1);
    // Names are matched in the program's text, like content.
    if (matcher.Found(options, Utf8ToGb18030(name)) != expect) return false;
  }
  if (options.IsChecked(Check::InContent) && ContentFound(path, matcher, options) != expect)
    return false;
  return true;
}

}  // namespace tarnwick
