#include "engine/content_filter.h"

#include "text/program_text.h"
#include "text/text_loader.h"

namespace tarnwick {

bool ContentFilterTest(const std::string& path, ContentMatcher& matcher,
                       const OptionControls& options) {
  const bool expect = options.IsChecked(Check::ContainsContent);
  if (options.IsChecked(Check::InName)) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name =
        slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    // Names are matched in the program's text, like content.
    if (matcher.Found(options, Utf8ToGb18030(name)) != expect) return false;
  }
  if (options.IsChecked(Check::InContent)) {
    if (matcher.Found(options, LoadTextFile(path).text) != expect) return false;
  }
  return true;
}

}  // namespace tarnwick
