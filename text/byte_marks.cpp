#include "text/byte_marks.h"

#include <cstring>

#include "text/cpu_features.h"

namespace tarnwick {
namespace {

void NoteByte(char byte, std::size_t at, bool findZero, ByteMarks& marks) {
  if (static_cast<unsigned char>(byte) >= 0x80) marks.ascii = false;
  if (byte == '<') marks.openAngle = true;
  if (byte != 0x00 && byte != 0x1A) return;
  marks.stopByte = true;
  if (byte == 0x00 && findZero && marks.firstZero == std::string_view::npos) marks.firstZero = at;
}

bool Complete(const ByteMarks& marks, bool findZero) {
  return marks.stopByte && marks.openAngle && !marks.ascii &&
         (!findZero || marks.firstZero != std::string_view::npos);
}

#if defined(TARNWICK_AVX2_VARIANTS)
// The unmarked ASCII blocks of 128 bytes from `at` on, with 256-bit vectors: where the
// first block that is not stands (or where less than 128 bytes are left). Notes a byte
// at or above 0x80 in them.
__attribute__((target("avx2"))) std::size_t SkipPlainWide(const char* data, std::size_t at,
                                                          std::size_t size, ByteMarks& marks) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i sub = _mm256_set1_epi8(0x1A);
  const __m256i angle = _mm256_set1_epi8('<');
  for (; at + 128 <= size; at += 128) {
    __m256i any = _mm256_setzero_si256();
    __m256i high = _mm256_setzero_si256();
    for (std::size_t offset = 0; offset < 128; offset += 32) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at + offset));
      any = _mm256_or_si256(any,
                            _mm256_or_si256(_mm256_cmpeq_epi8(v, zero), _mm256_cmpeq_epi8(v, sub)));
      any = _mm256_or_si256(any, _mm256_cmpeq_epi8(v, angle));
      high = _mm256_or_si256(high, v);
    }
    if (_mm256_movemask_epi8(any) != 0) break;
    if (_mm256_movemask_epi8(high) != 0) marks.ascii = false;
  }
  return at;
}
#endif

}  // namespace

ByteMarks ScanByteMarks(std::string_view piece, bool findZero) {
  ByteMarks marks;
  const char* data = piece.data();
  const std::size_t size = piece.size();
  std::size_t at = 0;
#if defined(TARNWICK_AVX2_VARIANTS)
  if (HasAvx2()) at = SkipPlainWide(data, at, size, marks);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i sub = _mm_set1_epi8(0x1A);
  const __m128i angle = _mm_set1_epi8('<');
  const auto load = [&](std::size_t offset) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + offset));
  };
  const auto marked = [&](__m128i v) {
    return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, zero), _mm_cmpeq_epi8(v, sub)),
                        _mm_cmpeq_epi8(v, angle));
  };
  while (at + 64 <= size) {
    // Sixty-four bytes at a time while none is marked; a marked block of sixteen is
    // looked at closely.
    const __m128i a = load(at);
    const __m128i b = load(at + 16);
    const __m128i c = load(at + 32);
    const __m128i d = load(at + 48);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) != 0)
      marks.ascii = false;
    const __m128i any =
        _mm_or_si128(_mm_or_si128(marked(a), marked(b)), _mm_or_si128(marked(c), marked(d)));
    if (_mm_movemask_epi8(any) == 0) {
      at += 64;
      continue;
    }
    for (const std::size_t end = at + 64; at < end; at += 16) {
      const __m128i v = load(at);
      const int zeros = _mm_movemask_epi8(_mm_cmpeq_epi8(v, zero));
      const int stops = zeros | _mm_movemask_epi8(_mm_cmpeq_epi8(v, sub));
      if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, angle)) != 0) marks.openAngle = true;
      if (stops != 0) marks.stopByte = true;
      if (zeros != 0 && findZero && marks.firstZero == std::string_view::npos)
        marks.firstZero =
            at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(zeros)));
    }
    if (Complete(marks, findZero)) return marks;
  }
#endif
  for (; at < size; ++at) NoteByte(data[at], at, findZero, marks);
  return marks;
}

}  // namespace tarnwick
