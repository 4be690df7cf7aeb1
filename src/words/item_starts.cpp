// SPDX-License-Identifier: MIT
// Finding item starts a block at a time: the hot loop of reading the word list.
#include "words/item_starts.h"

#include <algorithm>
#include <type_traits>

// The chunk loop below is plain C++ that the compiler turns into vector code (GCC does so from
// -O2 on since version 12). On x86-64 it is built twice, for AVX2 and for the baseline (SSE2),
// and the loader picks the one the processor runs best; elsewhere it is built once for the
// target's own vector unit, or none. The helpers it runs in are always inlined, so that each
// build has its own copy of them.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
#define LEXITROVE_AVX2_AND_BASELINE __attribute__((target_clones("avx2", "default")))
#else
#define LEXITROVE_AVX2_AND_BASELINE
#endif

namespace {

// Units counted at a time. A chunk holds at most 128 starts, so a counter as wide as a unit
// does not overflow; and the one chunk walked unit by unit, where the limit falls, stays short.
constexpr std::ptrdiff_t Chunk = 256;

template <typename Unit>
bool startsItem(const Unit* p, std::ptrdiff_t i)
{
    return !isLineEnd(p[i]) && (i == 0 || isLineEnd(p[i - 1]));
}

// The item starts in [p, p + Chunk); p[-1] must be readable. The counter has the width of a
// unit so that the compiler gives each unit one lane of a vector register.
template <typename Unit>
[[gnu::always_inline]] inline unsigned startsInChunk(const Unit* p)
{
    using Counter = std::make_unsigned_t<Unit>;
    Counter count = 0;
    for (std::ptrdiff_t i = 0; i < Chunk; ++i)
        count += Counter(isLineEnd(p[i - 1])) & Counter(!isLineEnd(p[i]));
    return count;
}

// Whether a byte may follow the marks of a line that holds nothing else: a line end, or the
// first byte of another mark. A few more pass (0x00 to 0x0D, 0xEF to 0xFF), for one compare
// that the vector unit makes a lane at a time; the caller looks closer at what passes.
[[gnu::always_inline]] inline unsigned char mayEndMarks(char byte)
{
    return static_cast<unsigned char>(static_cast<unsigned char>(byte) + 0x11) <= 0x1E;
}

[[gnu::always_inline]] inline bool mayOpenMarkLine(const char* p, std::ptrdiff_t i, std::ptrdiff_t n)
{
    return p[i] == '\xEF' && isLineEnd(p[i - 1]) && (i + 3 >= n || mayEndMarks(p[i + 3]));
}

// Whether a line of marks alone may begin in [p, p + Chunk); p[-1] to p[Chunk + 2] must be
// readable. An OR of byte-wide lanes, so that it turns into vector code as startsInChunk does.
[[gnu::always_inline]] inline bool markLineInChunk(const char* p)
{
    unsigned char any = 0;
    for (std::ptrdiff_t i = 0; i < Chunk; ++i)
        any |= static_cast<unsigned char>(isLineEnd(p[i - 1])) & static_cast<unsigned char>(p[i] == '\xEF')
            & mayEndMarks(p[i + 3]);
    return any != 0;
}

// Goes on counting from `found`, one unit at a time through [from, to), until `limit`.
template <typename Unit>
ItemStarts walk(const Unit* p, std::ptrdiff_t from, std::ptrdiff_t to, ItemStarts found, std::int64_t limit)
{
    for (std::ptrdiff_t i = from; i < to && found.count < limit; ++i) {
        if (startsItem(p, i)) {
            ++found.count;
            found.last = i;
        }
    }
    return found;
}

template <typename Unit>
[[gnu::always_inline]] inline ItemStarts find(const Unit* p, std::ptrdiff_t n, std::int64_t limit)
{
    // The first unit has no unit before it here, so the chunks begin with the second.
    ItemStarts found = walk(p, 0, std::min<std::ptrdiff_t>(n, 1), {}, limit);
    std::ptrdiff_t chunk = 1;
    std::ptrdiff_t lastChunkWithStart = -1;
    for (; chunk + Chunk <= n; chunk += Chunk) {
        const unsigned here = startsInChunk(p + chunk);
        if (found.count + here >= limit)
            return walk(p, chunk, chunk + Chunk, found, limit);
        if (here > 0) {
            found.count += here;
            lastChunkWithStart = chunk;
        }
    }
    if (lastChunkWithStart >= 0) {
        found.last = lastChunkWithStart + Chunk - 1;
        while (!startsItem(p, found.last))
            --found.last;
    }
    return walk(p, chunk, n, found, limit);
}

// The two builds and the choice between them stay inside this file, where every compiler can
// link them (Clang names the chooser apart); callers see one plain function each.
LEXITROVE_AVX2_AND_BASELINE ItemStarts findBytes(const char* p, std::ptrdiff_t n, std::int64_t limit)
{
    return find(p, n, limit);
}

LEXITROVE_AVX2_AND_BASELINE ItemStarts findWide(const char16_t* p, std::ptrdiff_t n, std::int64_t limit)
{
    return find(p, n, limit);
}

LEXITROVE_AVX2_AND_BASELINE std::ptrdiff_t findMarkLineBytes(const char* p, std::ptrdiff_t n)
{
    std::ptrdiff_t i = 1;
    while (i + Chunk + 3 <= n && !markLineInChunk(p + i))
        i += Chunk;
    for (; i < n; ++i) {
        if (mayOpenMarkLine(p, i, n))
            return i;
    }
    return n;
}

} // namespace

ItemStarts findItemStarts(const char* p, std::ptrdiff_t n, std::int64_t limit)
{
    return findBytes(p, n, limit);
}

ItemStarts findItemStarts(const char16_t* p, std::ptrdiff_t n, std::int64_t limit)
{
    return findWide(p, n, limit);
}

std::ptrdiff_t findMarkLine(const char* p, std::ptrdiff_t n)
{
    return findMarkLineBytes(p, n);
}
