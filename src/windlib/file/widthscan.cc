#include "windlib/file/widthscan.h"

#include <cstring>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {
const char* scan_bytes(const char* p, const char* end) {
  for (; p < end; ++p)
    if ((static_cast<unsigned char>(*p) & 0xE0) == 0) return p;
  return end;
}

const char* special_bytes(const char* p, const char* end) {
  for (; p < end; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c > 0x7f) return p;
  }
  return end;
}

#if defined(__x86_64__)
// A byte is below 0x20 exactly when its top three bits are clear.
const char* scan_sse2(const char* p, const char* end) {
  const __m128i high_bits = _mm_set1_epi8(static_cast<char>(0xE0));
  const __m128i zero = _mm_setzero_si128();
  while (end - p >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, high_bits), zero));
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
  return scan_bytes(p, end);
}

__attribute__((target("avx2"))) const char* scan_avx2(const char* p, const char* end) {
  const __m256i high_bits = _mm256_set1_epi8(static_cast<char>(0xE0));
  const __m256i zero = _mm256_setzero_si256();
  while (end - p >= 32) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    unsigned mask = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_and_si256(v, high_bits), zero)));
    if (mask) return p + __builtin_ctz(mask);
    p += 32;
  }
  return scan_sse2(p, end);
}

// The same, also stopping at a byte with its top bit set (which the byte
// mask shows directly).
const char* special_sse2(const char* p, const char* end) {
  const __m128i high_bits = _mm_set1_epi8(static_cast<char>(0xE0));
  const __m128i zero = _mm_setzero_si128();
  while (end - p >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    int mask =
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, high_bits), zero)) | _mm_movemask_epi8(v);
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
  return special_bytes(p, end);
}

__attribute__((target("avx2"))) const char* special_avx2(const char* p, const char* end) {
  const __m256i high_bits = _mm256_set1_epi8(static_cast<char>(0xE0));
  const __m256i zero = _mm256_setzero_si256();
  while (end - p >= 32) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    unsigned mask = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_and_si256(v, high_bits), zero)) |
        _mm256_movemask_epi8(v));
    if (mask) return p + __builtin_ctz(mask);
    p += 32;
  }
  return special_sse2(p, end);
}

using ScanFn = const char* (*)(const char*, const char*);
// The widest scans the processor offers, chosen once.
const bool has_avx2 = __builtin_cpu_supports("avx2");
const ScanFn scan = has_avx2 ? scan_avx2 : scan_sse2;
const ScanFn special = has_avx2 ? special_avx2 : special_sse2;
#else
const auto scan = scan_bytes;
const auto special = special_bytes;
#endif
}  // namespace

const char* FindControlByte(const char* p, const char* end) { return scan(p, end); }

const char* FindSpecialByte(const char* p, const char* end) {
  return special(p, end);
}
