#include "windlib/file/widthscan.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

const char* FindControlByte(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i high_bits = _mm_set1_epi8(static_cast<char>(0xE0));
  const __m128i zero = _mm_setzero_si128();
  while (end - p >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // A byte is below 0x20 exactly when its top three bits are clear.
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, high_bits), zero));
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  for (; p < end; ++p)
    if ((static_cast<unsigned char>(*p) & 0xE0) == 0) return p;
  return end;
}
