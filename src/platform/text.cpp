// SPDX-License-Identifier: MIT
// UTF-8 and decimal numbers for the seam's 16-bit text.
#include "platform/text.h"

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

Utf8Sequence nextUtf8(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80)
        return {1, lead};
    std::size_t length = 0;
    char32_t code = 0;
    // The second byte's range is narrower after some leads: that is what rules out overlong
    // forms, surrogates and code points past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    if (bytes.size() < length)
        return {};
    const auto second = static_cast<unsigned char>(bytes[1]);
    if (second < low || second > high)
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (!isContinuation(byte))
            return {};
        code = (code << 6) | (byte & 0x3F);
    }
    return {length, code};
}

void appendCodePoint(std::u16string& text, char32_t code)
{
    if (code < 0x10000) {
        text += char16_t(code);
        return;
    }
    code -= 0x10000;
    text += char16_t(0xD800 + (code >> 10));
    text += char16_t(0xDC00 + (code & 0x3FF));
}

std::u16string fromSystemUtf8(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Utf8Sequence sequence = nextUtf8(bytes);
        if (sequence.length == 0) {
            text += char16_t(0xDC00 + static_cast<unsigned char>(bytes[0]));
            bytes.remove_prefix(1);
            continue;
        }
        appendCodePoint(text, sequence.code);
        bytes.remove_prefix(sequence.length);
    }
    return text;
}

std::string toSystemUtf8(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xDC80 && code < 0xDD00) {
            bytes += char(code - 0xDC00); // a byte that was no UTF-8, as it came
            continue;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            bytes += char(code);
        } else if (code < 0x800) {
            bytes += char(0xC0 | (code >> 6));
            bytes += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += char(0xE0 | (code >> 12));
            bytes += char(0x80 | ((code >> 6) & 0x3F));
            bytes += char(0x80 | (code & 0x3F));
        } else {
            bytes += char(0xF0 | (code >> 18));
            bytes += char(0x80 | ((code >> 12) & 0x3F));
            bytes += char(0x80 | ((code >> 6) & 0x3F));
            bytes += char(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

std::u16string decimal(std::int64_t number)
{
    // Built from the lowest digit up, in unsigned arithmetic so that the most negative number
    // has a magnitude too.
    const bool negative = number < 0;
    std::uint64_t magnitude = negative ? 0 - std::uint64_t(number) : std::uint64_t(number);
    std::u16string digits;
    do {
        digits.insert(digits.begin(), char16_t(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        digits.insert(digits.begin(), u'-');
    return digits;
}
