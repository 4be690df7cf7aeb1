// SPDX-License-Identifier: MIT
// Where the items of a word list begin: the walk that lets a list of millions of lines be read
// about as fast as the file itself.
#pragma once

#include <cstddef>
#include <cstdint>

// LF and CR end a line (CRLF is two line ends with nothing between them). Units are bytes, or
// 16-bit units in UTF-16 files.
template <typename Unit>
constexpr bool isLineEnd(Unit unit)
{
    return unit == Unit('\n') || unit == Unit('\r');
}

// The item starts found in a stretch of units: how many, and where the last of them is.
struct ItemStarts
{
    std::int64_t count = 0;
    std::ptrdiff_t last = -1; // -1 when there is none
};

// Finds the item starts in [p, p + n): units that are not line ends and follow a line end; p[0]
// counts as following one. Stops at the start that makes `limit` (1 or more); otherwise `last`
// is the last start of the stretch.
ItemStarts findItemStarts(const char* p, std::ptrdiff_t n, std::int64_t limit);
ItemStarts findItemStarts(const char16_t* p, std::ptrdiff_t n, std::int64_t limit);

// The first byte of [p + 1, p + n) where a line of UTF-8 byte-order marks alone may begin: an
// 0xEF byte after a line end, with a line end or another 0xEF three bytes on (or any byte from
// 0x00 to 0x0D or 0xEF to 0xFF there: the caller looks closer), or closer to the end than that;
// n when there is none. p[0] is never one: only the caller knows what precedes it.
std::ptrdiff_t findMarkLine(const char* p, std::ptrdiff_t n);

// The index of the first `byte` in [p, p + n), n when there is none: memchr, but as fast where
// the C library's is a plain loop (the one Windows programs get from Wine).
std::ptrdiff_t findByte(const char* p, std::ptrdiff_t n, char byte);
