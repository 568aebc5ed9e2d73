#include "platform/iconv_converter.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace tarnwick::platform {
namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);
const std::size_t kIconvFailed = static_cast<std::size_t>(-1);

// The descriptors this thread has opened, one per (from, to) pair, closed when the
// thread ends. A program converts between a handful of pairs, so a short list beats a
// map.
class DescriptorCache {
 public:
  ~DescriptorCache() {
    for (const Entry& entry : entries_) iconv_close(entry.descriptor);
  }

  // A descriptor in its initial shift state, or kNoDescriptor for an unknown name.
  iconv_t Get(const char* from, const char* to) {
    for (const Entry& entry : entries_) {
      if (entry.from == from && entry.to == to) {
        iconv(entry.descriptor, nullptr, nullptr, nullptr, nullptr);
        return entry.descriptor;
      }
    }
    const iconv_t descriptor = iconv_open(to, from);
    if (descriptor == kNoDescriptor) return kNoDescriptor;
    entries_.push_back({from, to, descriptor});
    return descriptor;
  }

 private:
  struct Entry {
    std::string from;
    std::string to;
    iconv_t descriptor;
  };
  std::vector<Entry> entries_;
};

iconv_t Descriptor(const char* from, const char* to) {
  thread_local DescriptorCache cache;
  return cache.Get(from, to);
}

// Output room for the first attempt: the common conversions keep or shrink the size.
std::size_t InitialRoom(std::size_t inputSize) { return inputSize + inputSize / 4 + 16; }

// Runs iconv until the input is used up or it reports an error other than a full
// output buffer; grows `out` as needed. `written` is the count of bytes produced.
// Returns 0 on success, else the errno of the failure (EILSEQ, EINVAL).
int ConvertSome(iconv_t descriptor, const char*& in, std::size_t& inLeft, std::string& out,
                std::size_t& written) {
  for (;;) {
    if (out.size() - written < 16) out.resize(out.size() * 3 / 2 + 32);
    char* outPtr = out.data() + written;
    std::size_t outLeft = out.size() - written;
    // iconv's input parameter is not const on every platform; it never writes through it.
    char* inPtr = const_cast<char*>(in);
    const std::size_t result = in == nullptr
                                   ? iconv(descriptor, nullptr, nullptr, &outPtr, &outLeft)
                                   : iconv(descriptor, &inPtr, &inLeft, &outPtr, &outLeft);
    const int error = result == kIconvFailed ? errno : 0;
    if (in != nullptr) in = inPtr;
    written = static_cast<std::size_t>(outPtr - out.data());
    if (error == E2BIG) continue;
    return error;
  }
}

// Writes the closing shift sequence of stateful encodings. Returns 0 or an errno.
int Flush(iconv_t descriptor, std::string& out, std::size_t& written) {
  const char* none = nullptr;
  std::size_t noneLeft = 0;
  return ConvertSome(descriptor, none, noneLeft, out, written);
}

std::size_t CodeUnitSize(const char* encoding) {
  if (strncasecmp(encoding, "UTF-16", 6) == 0 || strncasecmp(encoding, "UCS-2", 5) == 0) return 2;
  if (strncasecmp(encoding, "UTF-32", 6) == 0 || strncasecmp(encoding, "UCS-4", 5) == 0) return 4;
  return 1;
}

}  // namespace

std::optional<std::string> ConvertStrict(std::string_view input, const char* from, const char* to) {
  const iconv_t descriptor = Descriptor(from, to);
  if (descriptor == kNoDescriptor) return std::nullopt;
  if (input.empty()) return std::string();

  std::string out(InitialRoom(input.size()), '\0');
  std::size_t written = 0;
  const char* in = input.data();
  std::size_t inLeft = input.size();
  if (ConvertSome(descriptor, in, inLeft, out, written) != 0) return std::nullopt;
  if (Flush(descriptor, out, written) != 0) return std::nullopt;
  out.resize(written);
  return out;
}

std::string ConvertLenient(std::string_view input, const char* from, const char* to,
                           std::string_view replacement) {
  const iconv_t descriptor = Descriptor(from, to);
  if (descriptor == kNoDescriptor || input.empty()) return {};

  const std::size_t unit = CodeUnitSize(from);
  std::string out(InitialRoom(input.size()), '\0');
  std::size_t written = 0;
  const char* in = input.data();
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    const int error = ConvertSome(descriptor, in, inLeft, out, written);
    if (error == 0) break;
    // Bad or incomplete input: put the replacement in its place and step over it. An
    // incomplete sequence (EINVAL) can only sit at the end, so this ends the loop.
    if (out.size() - written < replacement.size())
      out.resize(written + replacement.size() + out.size() / 2);
    replacement.copy(out.data() + written, replacement.size());
    written += replacement.size();
    const std::size_t skip = error == EINVAL ? inLeft : std::min(unit, inLeft);
    in += skip;
    inLeft -= skip;
    // A stateful decoder may hold a half-read character; start it afresh.
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  }
  Flush(descriptor, out, written);
  out.resize(written);
  return out;
}

LenientStream::LenientStream(const char* from, const char* to, std::string_view replacement)
    : descriptor_(iconv_open(to, from)), replacement_(replacement), unit_(CodeUnitSize(from)) {}

LenientStream::~LenientStream() {
  if (descriptor_ != kNoDescriptor) iconv_close(descriptor_);
}

bool LenientStream::Known() const { return descriptor_ != kNoDescriptor; }

void LenientStream::Reset() {
  kept_.clear();
  if (Known()) iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
}

void LenientStream::Convert(std::string_view input, bool last, std::string& out) {
  if (!Known()) return;
  input.remove_prefix(Resume(input, last, out));
  Run(input, last, false, out);
}

std::size_t LenientStream::Resume(std::string_view input, bool last, std::string& out) {
  if (!Known() || kept_.empty()) return 0;
  // The kept start of a character is completed from the first bytes of this piece and
  // converted on its own.
  std::string joined = std::move(kept_);
  kept_.clear();
  const std::size_t keptSize = joined.size();
  const std::size_t borrowed = std::min<std::size_t>(input.size(), 8);
  joined.append(input.substr(0, borrowed));
  if (borrowed == input.size()) {
    Run(joined, last, false, out);
    return input.size();
  }
  std::size_t used = 0;
  while (used < keptSize) used += Run(std::string_view(joined).substr(used), false, true, out);
  return used - keptSize;
}

std::size_t LenientStream::ConvertFew(std::string_view input, bool last, std::string& out) {
  if (!Known() || input.empty()) return input.size();
  const std::string_view window = input.substr(0, 8);
  const bool wholeInput = window.size() == input.size();
  return Run(window, last && wholeInput, !wholeInput, out);
}

// Converts `input`; returns the count of its bytes used. With `stopEarly` a sequence cut
// off at the end of `input` is not kept but left unused (more input follows it), and the
// run ends after the first replacement.
std::size_t LenientStream::Run(std::string_view input, bool last, bool stopEarly,
                               std::string& out) {
  std::size_t written = out.size();
  out.resize(written + InitialRoom(input.size()));
  const char* in = input.data();
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    const std::size_t leftBefore = inLeft;
    const int error = ConvertSome(descriptor_, in, inLeft, out, written);
    if (error == 0) break;
    const bool cutOff = error == EINVAL;
    if (cutOff && stopEarly) {
      // More input follows: the sequence is left for the next run, unless nothing came
      // before it (no character is that long: it is bad input).
      if (inLeft < leftBefore) break;
    } else if (cutOff && !last) {
      kept_.assign(in, inLeft);
      in += inLeft;
      inLeft = 0;
      break;
    }
    if (out.size() - written < replacement_.size())
      out.resize(written + replacement_.size() + out.size() / 2);
    replacement_.copy(out.data() + written, replacement_.size());
    written += replacement_.size();
    const std::size_t skip = cutOff && !stopEarly ? inLeft : std::min(unit_, inLeft);
    in += skip;
    inLeft -= skip;
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    if (stopEarly) break;
  }
  if (last && inLeft == 0) Flush(descriptor_, out, written);
  out.resize(written);
  return input.size() - inLeft;
}

}  // namespace tarnwick::platform
