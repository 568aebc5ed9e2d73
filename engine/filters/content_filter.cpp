#include "engine/filters/content_filter.h"

#include "text/program_text.h"
#include "text/text_stream.h"

namespace tarnwick {

ContentTestResult ContentFilterTest(const platform::FileRef& file, ContentMatcher& matcher,
                                    const OptionControls& options,
                                    const std::function<bool()>& stopRequested,
                                    FileContent* content) {
  ContentTestResult result;
  const bool expect = options.IsChecked(Check::ContainsContent);
  const auto mode = static_cast<MatchMode>(options.MatchModeIndex());
  const std::string pattern = options.Text(Field::ContentPattern);
  if (options.IsChecked(Check::InName)) {
    const std::size_t slash = file.path.rfind('/');
    const std::string_view name =
        slash == std::string_view::npos ? file.path : file.path.substr(slash + 1);
    // Names are matched in the program's text, like content: a name that is not UTF-8
    // (GBK from an old archive) is read as content without an encoding mark is.
    if (matcher.Found(mode, pattern, BytesAsProgramText(name)) != expect) return result;
  }
  if (options.IsChecked(Check::InContent)) {
    ContentSearch& search = matcher.Search(mode, pattern);
    if (search.KnownWithoutText()) {
      search.Begin(TextForm::Gb18030);
    } else {
      StreamSettings settings;
      settings.stopRequested = stopRequested;
      settings.guessEncodings = options.IsChecked(Check::GuessEncodings);
      // The encoding is shown only for a file that is listed.
      settings.encodingWanted = [&search, expect] { return search.Found() == expect; };
      const StreamOutcome outcome = content ? StreamFileText(*content, search, settings)
                                            : StreamFileText(file, search, settings);
      if (outcome.status == StreamOutcome::Status::Stopped) {
        result.stopped = true;
        return result;
      }
      result.encoding = outcome.encoding;
      result.error = outcome.error;
    }
    if (search.Undecided()) {
      result.undecided = true;
      return result;
    }
    if (search.Found() != expect) return result;
  }
  result.pass = true;
  return result;
}

}  // namespace tarnwick
