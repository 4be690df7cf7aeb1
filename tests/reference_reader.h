// SPDX-License-Identifier: MIT
// The word-list reader's rules restated as plainly and slowly as possible, one unit at a time:
// the oracle that the words test and the word-list fuzz target hold the real reader to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ReferenceItem
{
    std::u16string text;
    std::int64_t line = 0; // counted from 1 as an editor counts lines: empty ones too, CRLF as one
};

// The items of `file`. Its first `sample` bytes decide between 8-bit and UTF-16 where it has no
// byte-order mark (the reader looks at 4,096, or at a whole block where that is smaller).
std::vector<ReferenceItem> referenceItems(std::string_view file, std::size_t sample = 4096);
