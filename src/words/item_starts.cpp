// SPDX-License-Identifier: MIT
// Finding item starts a block at a time: the hot loop of reading the word list.
#include "words/item_starts.h"

#include <algorithm>
#include <type_traits>

// The chunk loops below are plain C++ that the compiler turns into vector code (GCC does so from
// -O2 on since version 12). On x86-64 with GCC or Clang each entry point is built twice, for AVX2
// and for the baseline (SSE2), and the first call picks the one the processor runs best, on Linux
// and Windows alike; elsewhere it is built once for the target's own vector unit, or none. The
// helpers they run in are always inlined, so that each build has its own copy of them.
#if defined(__GNUC__) && defined(__x86_64__)
#define LEXITROVE_AVX2_BUILD 1
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

// Whether [p, p + Chunk) holds `byte`: an OR of byte-wide lanes, as in markLineInChunk.
[[gnu::always_inline]] inline bool byteInChunk(const char* p, char byte)
{
    unsigned char any = 0;
    for (std::ptrdiff_t i = 0; i < Chunk; ++i)
        any |= static_cast<unsigned char>(p[i] == byte);
    return any != 0;
}

[[gnu::always_inline]] inline std::ptrdiff_t markLine(const char* p, std::ptrdiff_t n)
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

[[gnu::always_inline]] inline std::ptrdiff_t byteIndex(const char* p, std::ptrdiff_t n, char byte)
{
    std::ptrdiff_t i = 0;
    while (i + Chunk <= n && !byteInChunk(p + i, byte))
        i += Chunk;
    while (i < n && p[i] != byte)
        ++i;
    return i;
}

// The entry points, in one build or the other.
struct Build
{
    ItemStarts (*bytes)(const char*, std::ptrdiff_t, std::int64_t);
    ItemStarts (*wide)(const char16_t*, std::ptrdiff_t, std::int64_t);
    std::ptrdiff_t (*markLine)(const char*, std::ptrdiff_t);
    std::ptrdiff_t (*byteIndex)(const char*, std::ptrdiff_t, char);
};

constexpr Build Baseline{
    [](const char* p, std::ptrdiff_t n, std::int64_t limit) { return find(p, n, limit); },
    [](const char16_t* p, std::ptrdiff_t n, std::int64_t limit) { return find(p, n, limit); },
    [](const char* p, std::ptrdiff_t n) { return markLine(p, n); },
    [](const char* p, std::ptrdiff_t n, char byte) { return byteIndex(p, n, byte); },
};

#if defined(LEXITROVE_AVX2_BUILD)
[[gnu::target("avx2")]] ItemStarts bytesAvx2(const char* p, std::ptrdiff_t n, std::int64_t limit)
{
    return find(p, n, limit);
}
[[gnu::target("avx2")]] ItemStarts wideAvx2(const char16_t* p, std::ptrdiff_t n, std::int64_t limit)
{
    return find(p, n, limit);
}
[[gnu::target("avx2")]] std::ptrdiff_t markLineAvx2(const char* p, std::ptrdiff_t n)
{
    return markLine(p, n);
}
[[gnu::target("avx2")]] std::ptrdiff_t byteIndexAvx2(const char* p, std::ptrdiff_t n, char byte)
{
    return byteIndex(p, n, byte);
}
constexpr Build Avx2{bytesAvx2, wideAvx2, markLineAvx2, byteIndexAvx2};
#endif

const Build& build()
{
#if defined(LEXITROVE_AVX2_BUILD)
    static const Build chosen = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") ? Avx2 : Baseline;
    }();
    return chosen;
#else
    return Baseline;
#endif
}

} // namespace

ItemStarts findItemStarts(const char* p, std::ptrdiff_t n, std::int64_t limit)
{
    return build().bytes(p, n, limit);
}

ItemStarts findItemStarts(const char16_t* p, std::ptrdiff_t n, std::int64_t limit)
{
    return build().wide(p, n, limit);
}

std::ptrdiff_t findMarkLine(const char* p, std::ptrdiff_t n)
{
    return build().markLine(p, n);
}

std::ptrdiff_t findByte(const char* p, std::ptrdiff_t n, char byte)
{
    return build().byteIndex(p, n, byte);
}
