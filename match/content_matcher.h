#pragma once
// The content filter's test in the three match modes: on a whole text (a file's name),
// or on a file's decoded content streamed in pieces. Each worker of a job owns one.

#include <string>
#include <string_view>

#include "match/alternatives.h"
#include "match/content_search.h"
#include "match/mode.h"
#include "match/regex_object.h"

namespace tarnwick {

class ContentMatcher {
 public:
  ContentMatcher();

  // Compiles the wildcard and regex objects from `pattern` (UTF-8, as typed in
  // 编辑框筛选内容; bytes that are not UTF-8, possible from the command line, are read
  // as BytesAsProgramText reads them; IgnoreCase and Multiline on, Global off). Building
  // again gives the same objects as a fresh matcher would; an unchanged pattern is not
  // compiled again.
  void Build(std::string_view pattern);

  // The test of `mode` on `text` (the program's GB18030 text). `defaultPattern` is the
  // Default mode's pattern as it reads now (UTF-8); the other modes use the pattern of
  // the last Build (before the first, they find nothing).
  bool Found(MatchMode mode, std::string_view defaultPattern, std::string_view text);

  // The same test over a file's content: hand it to the streamed loader, then ask it
  // Found(). Valid until the next call on this matcher.
  ContentSearch& Search(MatchMode mode, std::string_view defaultPattern);

 private:
  // The regex test over a streamed text.
  class RegexSearch final : public ContentSearch {
   public:
    explicit RegexSearch(RegexObject& regex) : regex_(regex) {}
    void Begin(TextForm form) override { regex_.StreamBegin(form); }
    bool Take(std::string_view piece) override { return regex_.StreamTake(piece); }
    void End() override { regex_.StreamEnd(); }
    // Valid UTF-8 content is matched as it stands: it is what the decoded text
    // converts back to.
    bool TakesUtf8() const override { return true; }
    bool Found() const override { return regex_.StreamFound(); }
    bool Undecided() const override { return regex_.StreamUndecided(); }

   private:
    RegexObject& regex_;
  };

  AlternativesSearch& Alternatives(std::string_view defaultPattern);

  RegexObject wildcard_{TextForm::Gb18030};
  RegexObject regex_{TextForm::Gb18030};
  RegexSearch wildcardSearch_{wildcard_};
  RegexSearch regexSearch_{regex_};
  AlternativesSearch alternatives_;
  std::string builtPattern_;
  bool built_ = false;
  std::string defaultPatternUtf8_;
  std::string defaultPatternGb_;
};

}  // namespace tarnwick
