// SPDX-License-Identifier: MIT
// The reference reader: every rule written out on its own, with nothing shared with the reader
// under test, so that a slip in one of them shows as a disagreement.
#include "reference_reader.h"

#include <algorithm>

namespace {

constexpr std::size_t MaxItemUnits = 4096;
const std::string_view Utf8Mark = "\xEF\xBB\xBF";

// Windows-1252 for 0x80..0x9F, as the characters it shows (the five bytes it leaves undefined
// stand for the C1 control characters of the same number).
constexpr std::u16string_view Cp1252High =
    u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
    u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";

enum class Encoding { Bytes, Utf16LittleEndian, Utf16BigEndian };

unsigned char byteAt(std::string_view file, std::size_t i)
{
    return static_cast<unsigned char>(file[i]);
}

// A mark decides; without one, UTF-16 is text whose sampled 16-bit units all have a non-zero
// low byte, and a zero high byte in half of them or more (in one byte order or the other).
Encoding encodingOf(std::string_view file, std::size_t sample)
{
    if (file.substr(0, 3) == Utf8Mark)
        return Encoding::Bytes;
    if (file.size() >= 2 && byteAt(file, 0) == 0xFF && byteAt(file, 1) == 0xFE)
        return Encoding::Utf16LittleEndian;
    if (file.size() >= 2 && byteAt(file, 0) == 0xFE && byteAt(file, 1) == 0xFF)
        return Encoding::Utf16BigEndian;
    const std::size_t units = std::min(file.size(), sample) / 2;
    std::size_t zeroFirst = 0, zeroSecond = 0;
    for (std::size_t i = 0; i < units; ++i) {
        zeroFirst += byteAt(file, 2 * i) == 0;
        zeroSecond += byteAt(file, 2 * i + 1) == 0;
    }
    if (units >= 2 && zeroFirst == 0 && 2 * zeroSecond >= units)
        return Encoding::Utf16LittleEndian;
    if (units >= 2 && zeroSecond == 0 && 2 * zeroFirst >= units)
        return Encoding::Utf16BigEndian;
    return Encoding::Bytes;
}

// Decodes `bytes` as UTF-8 into `text`; false at the first sequence that is not strict UTF-8:
// a bad lead or continuation byte, a sequence cut short, a longer form than the code point
// needs, a surrogate or a code point past U+10FFFF.
bool decodeUtf8(std::string_view bytes, std::u16string& text)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 1;
        char32_t code = lead;
        char32_t smallest = 0;
        if (lead >= 0xF0 && lead < 0xF8) {
            length = 4;
            code = lead & 0x07;
            smallest = 0x10000;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            code = lead & 0x0F;
            smallest = 0x800;
        } else if (lead >= 0xC0 && lead < 0xE0) {
            length = 2;
            code = lead & 0x1F;
            smallest = 0x80;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if (next < 0x80 || next > 0xBF)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code >= 0x10000) {
            text += char16_t(0xD800 + ((code - 0x10000) >> 10));
            text += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            text += char16_t(code);
        }
        i += length;
    }
    return true;
}

// An 8-bit item: its first MaxItemUnits bytes, less a character that the cut left incomplete;
// UTF-8 where all of it is, Windows-1252 otherwise.
std::u16string byteItem(std::string_view line)
{
    if (line.size() > MaxItemUnits) {
        line = line.substr(0, MaxItemUnits);
        // Back over the continuation bytes at the end to the byte that leads them.
        std::size_t lead = line.size() - 1;
        while (lead > 0 && line.size() - lead < 4 && (byteAt(line, lead) & 0xC0) == 0x80)
            --lead;
        const unsigned char byte = byteAt(line, lead);
        const std::size_t announced = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        if ((byte & 0xC0) != 0x80 && lead + announced > line.size())
            line = line.substr(0, lead);
    }
    std::u16string text;
    if (decodeUtf8(line, text))
        return text;
    text.clear();
    for (const char c : line) {
        const unsigned char byte = static_cast<unsigned char>(c);
        text += byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte);
    }
    return text;
}

// A UTF-16 item: its first MaxItemUnits units, less a high surrogate the cut parted from its pair,
// with U+FFFD for each surrogate that has no partner.
std::u16string wideItem(std::u16string line)
{
    if (line.size() > MaxItemUnits) {
        line.resize(MaxItemUnits);
        if (line.back() >= 0xD800 && line.back() < 0xDC00)
            line.pop_back();
    }
    std::u16string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool high = line[i] >= 0xD800 && line[i] <= 0xDBFF;
        const bool low = line[i] >= 0xDC00 && line[i] <= 0xDFFF;
        if (high && i + 1 < line.size() && line[i + 1] >= 0xDC00 && line[i + 1] <= 0xDFFF) {
            text += line.substr(i, 2);
            ++i;
        } else {
            text += high || low ? u'\uFFFD' : line[i];
        }
    }
    return text;
}

} // namespace

std::vector<ReferenceItem> referenceItems(std::string_view file, std::size_t sample)
{
    const Encoding encoding = encodingOf(file, sample);
    const bool wide = encoding != Encoding::Bytes;
    // The file as units: bytes, or 16-bit units after a UTF-16 mark (an odd last byte is none).
    std::u16string units;
    if (wide) {
        const bool marked = (byteAt(file, 0) == 0xFF && byteAt(file, 1) == 0xFE)
            || (byteAt(file, 0) == 0xFE && byteAt(file, 1) == 0xFF);
        const bool little = encoding == Encoding::Utf16LittleEndian;
        for (std::size_t i = marked ? 2 : 0; i + 1 < file.size(); i += 2)
            units += char16_t(byteAt(file, little ? i + 1 : i) << 8 | byteAt(file, little ? i : i + 1));
    } else {
        for (std::size_t i = 0; i < file.size(); ++i)
            units += char16_t(byteAt(file, i));
    }

    std::vector<ReferenceItem> items;
    std::int64_t line = 1;
    bool afterCr = false;
    for (std::size_t at = 0; at < units.size();) {
        // A line: marks at its start (8-bit files only), its text, its line end.
        while (!wide && units.substr(at, 3) == u"\u00EF\u00BB\u00BF") {
            at += 3;
            afterCr = false;
        }
        const std::size_t start = at;
        while (at < units.size() && units[at] != u'\n' && units[at] != u'\r') {
            ++at;
            afterCr = false;
        }
        if (at > start)
            items.push_back(
                {wide ? wideItem(units.substr(start, at - start)) : byteItem(file.substr(start, at - start)), line});
        if (at < units.size()) {
            // CR ends a line; so does LF, unless it completes a CRLF.
            if (units[at] == u'\r' || !afterCr)
                ++line;
            afterCr = units[at++] == u'\r';
        }
    }
    return items;
}
