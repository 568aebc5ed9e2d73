#include "match/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "match/utf8_repair.h"
#include "text/program_text.h"
#include "text/streamed_conversion.h"

namespace tarnwick {
namespace {

template <auto Free>
struct Pcre2Free {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};
using CodePtr = std::unique_ptr<pcre2_code, Pcre2Free<pcre2_code_free>>;
using MatchDataPtr = std::unique_ptr<pcre2_match_data, Pcre2Free<pcre2_match_data_free>>;
using MatchContextPtr = std::unique_ptr<pcre2_match_context, Pcre2Free<pcre2_match_context_free>>;
using CompileContextPtr =
    std::unique_ptr<pcre2_compile_context, Pcre2Free<pcre2_compile_context_free>>;
using JitStackPtr = std::unique_ptr<pcre2_jit_stack, Pcre2Free<pcre2_jit_stack_free>>;

constexpr int kIgnoreCase = 1;
constexpr int kMultiline = 2;
constexpr int kGlobal = 4;

// Bounds on the work of one search, and on its memory. A pattern that backtracks
// without end, such as «(a*)*[bc]» on a long run of «a», stops at them and counts as no
// match. The base lets patterns that backtrack a great deal on a short text, such as
// «(\w+\s?)+!» over a line of words (two million steps for seven of them), complete;
// it also bounds the time a hopeless search takes (tens of milliseconds). The step limit
// grows with the text, so that a pattern doing a few steps per character, such as
// «<[\s\S]+?>» across megabytes to the next «>», always completes. The stacks let a
// repeated group such as «(\w|\s)+» run over about 1 MB.
constexpr uint64_t kMatchLimitBase = 20'000'000;
constexpr uint64_t kMatchStepsPerByte = 32;
constexpr uint32_t kDepthLimit = 1'000'000;
constexpr uint32_t kHeapLimitKiB = 128 * 1024;
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 64 * 1024 * 1024;

// A streamed search holds back text only from where a partial match starts; past this
// much it settles for the matches it can complete within what it holds.
constexpr std::size_t kStreamHoldLimit = std::size_t{8} << 20;
// A match accepted then must end this far before the end of the text held, so that
// what follows (for «$», «\b» or a lookahead) cannot undo it.
constexpr std::size_t kStreamSettleMargin = 4096;

uint32_t MatchLimitFor(std::size_t textSize) {
  const uint64_t limit = kMatchLimitBase + kMatchStepsPerByte * uint64_t{textSize};
  return static_cast<uint32_t>(std::min<uint64_t>(limit, UINT32_MAX));
}

// ECMAScript-like settings: «.» stops at CR and LF, «$» matches only at the very end
// (or before a line break with Multiline), «\s», «\d» and «\w» keep their ASCII meaning
// (so «\s» is space, tab, LF, CR, VT and FF, and a full-width space is a character like
// any other), «[^]» matches anything, «\uHHHH» names a character. Letter case is folded
// the Unicode way. Texts reach the engine as well-formed UTF-8; should one not be, its
// bad bytes never match, and nothing fails.
constexpr uint32_t kCompileOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALLOW_EMPTY_CLASS |
                                     PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY |
                                     PCRE2_NEVER_BACKSLASH_C;

PCRE2_SPTR Units(std::string_view text) {
  static constexpr char kEmpty[] = "";
  return reinterpret_cast<PCRE2_SPTR>(text.data() != nullptr ? text.data() : kEmpty);
}

// Start of the character after pos in UTF-8 text (skipping continuation bytes).
std::size_t NextCharStart(std::string_view text, std::size_t pos) {
  ++pos;
  while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
  return pos;
}

}  // namespace

// A search over a text handed over in pieces.
struct StreamState {
  TextForm form = TextForm::Utf8;
  std::string window;          // UTF-8: the text held, then the pieces not searched yet
  std::size_t searchFrom = 0;  // where the next search starts in `window`
  std::size_t unsearched = 0;  // bytes at the end of `window` no search has seen
  bool found = false;
  // A partial match held more text than the bound allows and was given up: unless a
  // match turns up, whether the text holds one is not known.
  bool gaveUp = false;
  std::unique_ptr<StreamConverter> toUtf8;  // for GB18030 pieces, made on first use
};

struct RegexObject::Impl {
  explicit Impl(TextForm textForm) : form(textForm) {}

  TextForm form;
  std::string pattern;  // the last non-empty pattern set, in form
  int flags = 0;
  bool stale = true;             // code no longer reflects pattern and flags
  MatchContextPtr matchContext;  // set once the engine exists
  JitStackPtr jitStack;
  CodePtr code;  // null when the pattern was rejected
  int compileError = 0;
  PCRE2_SIZE compileErrorOffset = 0;
  std::string compiledPattern;  // the UTF-8 form handed to the engine
  bool jitCompiled = false;
  MatchDataPtr matchData;
  // Characters a match may look at before its start (lookbehinds, «\b», «^»).
  std::size_t lookBehind = 1;
  StreamState stream;

  bool Ready();
  void Compile();
  // text as UTF-8: text itself, or its conversion kept in storage.
  std::string_view AsUtf8(std::string_view text, std::string& storage) const;
  // One search of subject from `start`; pcre2_match's result.
  int Match(std::string_view subject, std::size_t start, uint32_t options);
  template <typename OnMatch>
  bool ForEachMatch(std::string_view subject, OnMatch onMatch);
  // Drops the window's text before `start`, but for what a match from `start` may look
  // back at, and searches on from `start`.
  void HoldFrom(std::size_t start);
  void SearchStream();
  // A partial match from searchFrom holds back more than kStreamHoldLimit: gives it up,
  // keeping the partial matches that began within the bound.
  void GiveUpOldestPartialMatch();
};

std::string_view RegexObject::Impl::AsUtf8(std::string_view text, std::string& storage) const {
  if (IsAscii(text)) return text;  // the same in both forms: no copy
  if (form == TextForm::Gb18030) {
    storage = Gb18030ToUtf8(text);
  } else if (IsValidUtf8(text)) {
    return text;
  } else {
    storage = RepairUtf8(text);
  }
  return storage;
}

void RegexObject::Impl::Compile() {
  stale = false;
  code.reset();
  matchData.reset();
  jitCompiled = false;
  compileError = 0;
  CompileContextPtr context(pcre2_compile_context_create(nullptr));
  if (!context) return;
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
  pcre2_set_compile_extra_options(context.get(), PCRE2_EXTRA_ALT_BSUX);
  uint32_t options = kCompileOptions;
  if (flags & kIgnoreCase) options |= PCRE2_CASELESS;
  if (flags & kMultiline) options |= PCRE2_MULTILINE;
  std::string storage;
  compiledPattern = AsUtf8(pattern, storage);
  code.reset(pcre2_compile(Units(compiledPattern), compiledPattern.size(), options, &compileError,
                           &compileErrorOffset, context.get()));
  if (!code) return;
  compileError = 0;
  // Without JIT (not built for this processor, or out of memory) the interpreter runs.
  jitCompiled = pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE | PCRE2_JIT_PARTIAL_HARD |
                                                  PCRE2_JIT_PARTIAL_SOFT) == 0;
  matchData.reset(pcre2_match_data_create_from_pattern(code.get(), nullptr));
  if (!matchData) {
    code.reset();
    return;
  }
  // Lookbehinds inside lookbehinds add up; each "(?<" may be one.
  uint32_t longest = 0;
  pcre2_pattern_info(code.get(), PCRE2_INFO_MAXLOOKBEHIND, &longest);
  std::size_t nested = 1;
  for (std::size_t at = compiledPattern.find("(?<"); at != std::string::npos;
       at = compiledPattern.find("(?<", at + 1)) {
    ++nested;
  }
  lookBehind = std::size_t{longest} * nested + 1;
}

bool RegexObject::Impl::Ready() {
  if (!matchContext) return false;
  if (stale) Compile();
  return code != nullptr;
}

int RegexObject::Impl::Match(std::string_view subject, std::size_t start, uint32_t options) {
  pcre2_set_match_limit(matchContext.get(), MatchLimitFor(subject.size()));
  // The JIT entry point skips the argument checks, which cost more than short searches.
  const auto match = jitCompiled ? pcre2_jit_match : pcre2_match;
  return match(code.get(), Units(subject), subject.size(), start, options, matchData.get(),
               matchContext.get());
}

// Calls onMatch(start, end) for every match of subject (UTF-8), or for the
// first only when Global is off. After an empty match the search goes on one character
// further, as in ECMAScript. False when the engine gave up (a limit was reached).
template <typename OnMatch>
bool RegexObject::Impl::ForEachMatch(std::string_view subject, OnMatch onMatch) {
  std::size_t start = 0;
  while (start <= subject.size()) {
    const int rc = Match(subject, start, 0);
    if (rc == PCRE2_ERROR_NOMATCH) return true;
    if (rc <= 0) return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData.get());
    onMatch(ovector[0], ovector[1]);
    if (!(flags & kGlobal)) return true;
    start = ovector[1] > ovector[0] ? ovector[1] : NextCharStart(subject, ovector[0]);
  }
  return true;
}

void RegexObject::Impl::HoldFrom(std::size_t start) {
  std::string& window = stream.window;
  std::size_t keep = start;
  for (std::size_t characters = 0; characters < lookBehind && keep > 0; ++characters) {
    --keep;
    while (keep > 0 && (static_cast<unsigned char>(window[keep]) & 0xC0) == 0x80) --keep;
  }
  window.erase(0, keep);
  stream.searchFrom = start - keep;
  stream.unsearched = 0;
}

// Searches what is held with partial matching: a match found there stands whatever
// follows; a partial one means more text is needed from where it started.
void RegexObject::Impl::SearchStream() {
  const std::string_view window = stream.window;
  const int rc = Match(window, stream.searchFrom, PCRE2_PARTIAL_HARD);
  if (rc > 0) {
    stream.found = true;
    return;
  }
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData.get());
  // No match (or one that ran into a limit, which counts as none): the next search starts
  // where the new text will.
  HoldFrom(rc == PCRE2_ERROR_PARTIAL ? ovector[0] : window.size());
  if (stream.window.size() - stream.searchFrom > kStreamHoldLimit) GiveUpOldestPartialMatch();
}

void RegexObject::Impl::GiveUpOldestPartialMatch() {
  const std::string_view window = stream.window;
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData.get());
  // A complete match among the text held (soft partial matching goes on looking past a
  // partial one) stands when it ends well before the end of what is held.
  const int soft = Match(window, stream.searchFrom, PCRE2_PARTIAL_SOFT);
  if (soft > 0 && ovector[1] + kStreamSettleMargin <= window.size()) {
    stream.found = true;
    return;
  }
  // The oldest partial match might have completed further on: the answer stays open
  // unless a match is found. Those that began within the bound are searched for again.
  stream.gaveUp = true;
  std::size_t cut = window.size() - kStreamHoldLimit;
  while (cut < window.size() && (static_cast<unsigned char>(window[cut]) & 0xC0) == 0x80) ++cut;
  const int rc = Match(window, cut, PCRE2_PARTIAL_HARD);
  if (rc > 0) {
    stream.found = true;
    return;
  }
  HoldFrom(rc == PCRE2_ERROR_PARTIAL ? ovector[0] : window.size());
}

RegexObject::RegexObject(TextForm form) : impl_(std::make_unique<Impl>(form)) {}
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(RegexObject&&) noexcept = default;
RegexObject& RegexObject::operator=(RegexObject&&) noexcept = default;

void RegexObject::CreateEngine() {
  if (impl_->matchContext) return;
  MatchContextPtr context(pcre2_match_context_create(nullptr));
  if (!context) return;
  pcre2_set_depth_limit(context.get(), kDepthLimit);
  pcre2_set_heap_limit(context.get(), kHeapLimitKiB);
  impl_->jitStack.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
  if (impl_->jitStack) pcre2_jit_stack_assign(context.get(), nullptr, impl_->jitStack.get());
  impl_->matchContext = std::move(context);
}

bool RegexObject::SetPattern(std::string_view pattern, bool ignoreCase, bool multiline,
                             bool global) {
  const int flags =
      (ignoreCase ? kIgnoreCase : 0) | (multiline ? kMultiline : 0) | (global ? kGlobal : 0);
  Impl& impl = *impl_;
  if (pattern == impl.pattern && flags == impl.flags) return true;
  if (!pattern.empty() && pattern != impl.pattern) {
    impl.pattern = pattern;
    impl.stale = true;
  }
  // Global only steers the search loop; the other two are compiled into the code.
  if ((flags ^ impl.flags) & (kIgnoreCase | kMultiline)) impl.stale = true;
  impl.flags = flags;
  return true;
}

std::optional<std::string> RegexObject::CompileError() {
  Impl& impl = *impl_;
  if (impl.Ready() || !impl.matchContext || impl.compileError == 0) return std::nullopt;
  PCRE2_UCHAR message[256];
  if (pcre2_get_error_message(impl.compileError, message, sizeof message) < 0) return "bad pattern";
  std::string text(reinterpret_cast<const char*>(message));
  // The offset counts bytes of the UTF-8 pattern; the user counts characters. An error
  // found at the very start (a pattern too large, say) has no place worth naming.
  if (impl.compileErrorOffset == 0) return text;
  const std::string_view before =
      std::string_view(impl.compiledPattern).substr(0, impl.compileErrorOffset);
  std::size_t character = 1;
  for (const char byte : before) character += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
  return text + " at character " + std::to_string(character);
}

int RegexObject::MatchCount(std::string_view text) {
  if (!impl_->Ready()) return 0;
  std::string storage;
  const std::string_view subject = impl_->AsUtf8(text, storage);
  int count = 0;
  const bool finished = impl_->ForEachMatch(subject, [&count](std::size_t, std::size_t) {
    if (count < INT_MAX) ++count;
  });
  return finished ? count : 0;
}

std::string RegexObject::ReplaceAll(std::string_view text, std::string_view replacement) {
  if (!impl_->Ready()) return {};
  std::string textStorage;
  std::string replacementStorage;
  const std::string_view subject = impl_->AsUtf8(text, textStorage);
  const std::string_view utf8Replacement = impl_->AsUtf8(replacement, replacementStorage);
  std::string result;
  result.reserve(subject.size());
  std::size_t copied = 0;
  const bool finished = impl_->ForEachMatch(subject, [&](std::size_t start, std::size_t end) {
    result.append(subject.substr(copied, start - copied));
    result.append(utf8Replacement);
    copied = end;
  });
  if (!finished) return {};
  result.append(subject.substr(copied));
  if (impl_->form == TextForm::Utf8 || IsAscii(result)) return result;
  return Utf8ToGb18030(result);
}

void RegexObject::StreamBegin(TextForm form) {
  StreamState& stream = impl_->stream;
  stream.form = form;
  stream.window.clear();
  stream.searchFrom = 0;
  stream.unsearched = 0;
  stream.found = false;
  stream.gaveUp = false;
  if (form == TextForm::Gb18030) {
    if (!stream.toUtf8)
      stream.toUtf8 = std::make_unique<StreamConverter>("GB18030", "UTF-8", "\xEF\xBF\xBD");
    stream.toUtf8->Reset();
  }
}

bool RegexObject::StreamTake(std::string_view piece) {
  Impl& impl = *impl_;
  StreamState& stream = impl.stream;
  if (stream.found || !impl.Ready()) return stream.found;
  const std::size_t before = stream.window.size();
  if (stream.form == TextForm::Gb18030) {
    stream.toUtf8->Convert(piece, false, stream.window);
  } else {
    stream.window.append(piece);
  }
  stream.unsearched += stream.window.size() - before;
  // What a partial match holds back is searched again with the new text; waiting until
  // the new text is at least as long keeps the work proportional to the text.
  const std::size_t searchedAgain = stream.window.size() - stream.unsearched - stream.searchFrom;
  if (stream.unsearched < searchedAgain) return false;
  impl.SearchStream();
  return stream.found;
}

void RegexObject::StreamEnd() {
  Impl& impl = *impl_;
  StreamState& stream = impl.stream;
  if (stream.found || !impl.Ready()) return;
  if (stream.form == TextForm::Gb18030) stream.toUtf8->Convert({}, true, stream.window);
  stream.found = impl.Match(stream.window, stream.searchFrom, 0) > 0;
}

bool RegexObject::StreamFound() const { return impl_->stream.found; }

bool RegexObject::StreamUndecided() const { return impl_->stream.gaveUp && !impl_->stream.found; }

}  // namespace tarnwick
