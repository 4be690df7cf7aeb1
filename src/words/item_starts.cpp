// SPDX-License-Identifier: MIT
// Counting item starts a block at a time: the hot loop of reading the word list.
#include "words/item_starts.h"

#include <algorithm>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

template <typename Unit>
qint64 countScalar(const Unit* p, qsizetype n, bool afterLineEnd)
{
    qint64 count = 0;
    bool previous = afterLineEnd;
    for (qsizetype i = 0; i < n; ++i) {
        const bool end = isLineEnd(p[i]);
        count += previous && !end;
        previous = end;
    }
    return count;
}

#if defined(__SSE2__)
// The byte case is the hot one: 16 bytes a step, comparing each byte and the one before it.
qint64 countStartsSse2(const char* p, qsizetype n)
{
    qint64 count = 0;
    qsizetype i = 1;
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (i + 16 <= n) {
        // Per-byte counters overflow after 255 steps: fold them into 64-bit sums before that.
        __m128i counters = _mm_setzero_si128();
        const qsizetype stop = std::min(n - 15, i + 255 * 16);
        for (; i < stop; i += 16) {
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
            const __m128i hereEnd = _mm_or_si128(_mm_cmpeq_epi8(here, lf), _mm_cmpeq_epi8(here, cr));
            const __m128i beforeEnd = _mm_or_si128(_mm_cmpeq_epi8(before, lf), _mm_cmpeq_epi8(before, cr));
            counters = _mm_sub_epi8(counters, _mm_andnot_si128(hereEnd, beforeEnd)); // 0xFF is -1
        }
        const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
        count += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
    for (; i < n; ++i)
        count += isLineEnd(static_cast<unsigned char>(p[i - 1])) && !isLineEnd(static_cast<unsigned char>(p[i]));
    return count;
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define LEXITROVE_HAVE_AVX2 1
// The same, 32 bytes a step, on processors that have AVX2 (chosen at run time).
__attribute__((target("avx2"))) qint64 countStartsAvx2(const char* p, qsizetype n)
{
    qint64 count = 0;
    qsizetype i = 1;
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    while (i + 32 <= n) {
        __m256i counters = _mm256_setzero_si256();
        const qsizetype stop = std::min(n - 31, i + 255 * 32);
        for (; i < stop; i += 32) {
            const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
            const __m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i - 1));
            const __m256i hereEnd = _mm256_or_si256(_mm256_cmpeq_epi8(here, lf), _mm256_cmpeq_epi8(here, cr));
            const __m256i beforeEnd = _mm256_or_si256(_mm256_cmpeq_epi8(before, lf), _mm256_cmpeq_epi8(before, cr));
            counters = _mm256_sub_epi8(counters, _mm256_andnot_si256(hereEnd, beforeEnd));
        }
        const __m256i sums = _mm256_sad_epu8(counters, _mm256_setzero_si256());
        count += _mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) + _mm256_extract_epi64(sums, 2)
                 + _mm256_extract_epi64(sums, 3);
    }
    for (; i < n; ++i)
        count += isLineEnd(static_cast<unsigned char>(p[i - 1])) && !isLineEnd(static_cast<unsigned char>(p[i]));
    return count;
}
#endif

} // namespace

qint64 countItemStarts(const char* p, qsizetype n, bool afterLineEnd)
{
    if (n == 0)
        return 0;
    const qint64 first = (afterLineEnd && !isLineEnd(static_cast<unsigned char>(p[0]))) ? 1 : 0;
#if defined(LEXITROVE_HAVE_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return first + countStartsAvx2(p, n);
#endif
#if defined(__SSE2__)
    return first + countStartsSse2(p, n);
#else
    return countScalar(p, n, afterLineEnd);
#endif
}

qint64 countItemStarts(const char16_t* p, qsizetype n, bool afterLineEnd)
{
    return countScalar(p, n, afterLineEnd);
}
