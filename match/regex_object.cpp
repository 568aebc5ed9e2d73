#include "match/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "match/utf8_repair.h"
#include "text/program_text.h"

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

// Bounds on the work of one search from one starting point, and on its memory. A pattern
// that backtracks without end, such as «(a*)*[bc]» on a long run of «a», stops at them
// and counts as no match. The step limit grows with the text, so that a pattern doing a
// few steps per character, such as «<[\s\S]+?>» across megabytes to the next «>», always
// completes. The stacks let a repeated group such as «(\w|\s)+» run over about 1 MB.
constexpr uint64_t kMatchLimitBase = 1'000'000;
constexpr uint64_t kMatchStepsPerByte = 8;
constexpr uint32_t kDepthLimit = 1'000'000;
constexpr uint32_t kHeapLimitKiB = 128 * 1024;
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 64 * 1024 * 1024;

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

struct RegexObject::Impl {
  explicit Impl(TextForm textForm) : form(textForm) {}

  TextForm form;
  std::string pattern;  // the last non-empty pattern set, in form
  int flags = 0;
  bool stale = true;             // code no longer reflects pattern and flags
  MatchContextPtr matchContext;  // set once the engine exists
  JitStackPtr jitStack;
  CodePtr code;  // null when the pattern was rejected
  bool jitCompiled = false;
  MatchDataPtr matchData;

  bool Ready();
  void Compile();
  // text as UTF-8: text itself, or its conversion kept in storage.
  std::string_view AsUtf8(std::string_view text, std::string& storage) const;
  template <typename OnMatch>
  bool ForEachMatch(std::string_view subject, OnMatch onMatch);
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
  CompileContextPtr context(pcre2_compile_context_create(nullptr));
  if (!context) return;
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
  pcre2_set_compile_extra_options(context.get(), PCRE2_EXTRA_ALT_BSUX);
  uint32_t options = kCompileOptions;
  if (flags & kIgnoreCase) options |= PCRE2_CASELESS;
  if (flags & kMultiline) options |= PCRE2_MULTILINE;
  std::string storage;
  const std::string_view utf8 = AsUtf8(pattern, storage);
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  code.reset(pcre2_compile(Units(utf8), utf8.size(), options, &error, &errorOffset, context.get()));
  if (!code) return;
  // Without JIT (not built for this processor, or out of memory) the interpreter runs.
  jitCompiled = pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE) == 0;
  matchData.reset(pcre2_match_data_create_from_pattern(code.get(), nullptr));
  if (!matchData) code.reset();
}

bool RegexObject::Impl::Ready() {
  if (!matchContext) return false;
  if (stale) Compile();
  return code != nullptr;
}

// Calls onMatch(start, end) for every match of subject (UTF-8), or for the
// first only when Global is off. After an empty match the search goes on one character
// further, as in ECMAScript. False when the engine gave up (a limit was reached).
template <typename OnMatch>
bool RegexObject::Impl::ForEachMatch(std::string_view subject, OnMatch onMatch) {
  pcre2_set_match_limit(matchContext.get(), MatchLimitFor(subject.size()));
  std::size_t start = 0;
  while (start <= subject.size()) {
    // The JIT entry point skips the argument checks, which cost more than short searches.
    const auto match = jitCompiled ? pcre2_jit_match : pcre2_match;
    const int rc = match(code.get(), Units(subject), subject.size(), start, 0, matchData.get(),
                         matchContext.get());
    if (rc == PCRE2_ERROR_NOMATCH) return true;
    if (rc <= 0) return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData.get());
    onMatch(ovector[0], ovector[1]);
    if (!(flags & kGlobal)) return true;
    start = ovector[1] > ovector[0] ? ovector[1] : NextCharStart(subject, ovector[0]);
  }
  return true;
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

}  // namespace tarnwick
