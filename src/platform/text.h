// SPDX-License-Identifier: MIT
// The seam's text is the program's 16-bit text, std::u16string: lengths and positions count
// UTF-16 units. These turn the system's UTF-8 (paths, its messages) and numbers into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The valid UTF-8 sequence at the start of `bytes`, as RFC 3629 has it (shortest forms only, no
// surrogates, nothing past U+10FFFF): its length and its code point. Length 0 when the first
// byte begins no valid sequence, or `bytes` is empty.
struct Utf8Sequence
{
    std::size_t length = 0;
    char32_t code = 0;
};
Utf8Sequence nextUtf8(std::string_view bytes);

// Appends `code` as one unit, or as a surrogate pair past U+FFFF.
void appendCodePoint(std::u16string& text, char32_t code);

// UTF-8 from the system to text, and back. A byte that begins no valid sequence travels as a lone
// surrogate U+DC80 to U+DCFF and comes back as the same byte, so a path of any bytes survives the
// round trip; any other lone surrogate goes out as U+FFFD.
std::u16string fromSystemUtf8(std::string_view bytes);
std::string toSystemUtf8(std::u16string_view text);

// Decimal digits, with a minus sign when negative; no grouping.
std::u16string decimal(std::int64_t number);
