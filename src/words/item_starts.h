// SPDX-License-Identifier: MIT
// Where the items of a word list begin: the count that lets a list of millions of lines be
// read about as fast as the file itself.
#pragma once

#include <QtGlobal>

// LF and CR end a line (CRLF is two line ends with nothing between them).
inline bool isLineEnd(unsigned unit)
{
    return unit == '\n' || unit == '\r';
}

// Counts the item starts in [p, p + n): units that are not line ends and follow a line end,
// or, for p[0], follow whatever `afterLineEnd` says. Bytes are counted 32 or 16 at a time
// (AVX2 where the processor has it, else SSE2); 16-bit units one at a time.
qint64 countItemStarts(const char* p, qsizetype n, bool afterLineEnd);
qint64 countItemStarts(const char16_t* p, qsizetype n, bool afterLineEnd);
