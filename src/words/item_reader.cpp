// SPDX-License-Identifier: MIT
// Block-wise item reading: each block is searched once for item starts, and only the item kept
// is copied and decoded.
#include "words/item_reader.h"

#include "words/item_starts.h"

#include "platform/text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

namespace {

// The bytes of a UTF-8 byte-order mark, EF BB BF.
constexpr std::ptrdiff_t MarkUnits = 3;

// Windows-1252 for the bytes 0x80..0x9F; the other bytes are their own code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::u16string fromWindows1252(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte);
    }
    return text;
}

// The whole of `bytes` as UTF-8; nothing when any of it is not.
std::optional<std::u16string> fromUtf8(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Utf8Sequence sequence = nextUtf8(bytes);
        if (sequence.length == 0)
            return std::nullopt;
        appendCodePoint(text, sequence.code);
        bytes.remove_prefix(sequence.length);
    }
    return text;
}

// Length of `bytes` without an incomplete UTF-8 sequence at its end.
std::size_t wholeUtf8Prefix(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= 4 && back <= n; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[n - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: keep looking for its lead byte
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? n - back : n;
    }
    return n;
}

// Half of a surrogate pair stands for no character: it becomes U+FFFD, as in a decoder, so that
// a word is text that every desktop can put on the clipboard and that UTF-8 can carry.
void replaceHalfPairs(std::u16string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            ++i;
        else if (unit >= 0xD800 && unit < 0xE000)
            text[i] = u'\uFFFD';
    }
}

} // namespace

ItemReader::ItemReader(InputFile& file, std::ptrdiff_t blockSize)
    : m_file(file)
    , m_block(std::max<std::ptrdiff_t>(blockSize, 16))
{
}

std::int64_t ItemReader::readItems(std::int64_t limit, std::u16string* last)
{
    std::int64_t read = 0;
    try {
        while (read < limit && haveUnits())
            read += wide() ? readFromBlock<char16_t>(limit - read) : readFromBlock<char>(limit - read);
        // The last item read may run on past the block it started in.
        while (read > 0 && m_inItem && haveUnits()) {
            if (wide() ? finishItem<char16_t>() : finishItem<char>())
                break;
        }
    } catch (const PlatformError&) {
        // What was read before a failing read still counts: the caller learns how far it got,
        // and the last item read is handed over.
        m_readBeforeFailure = read;
        if (read > 0 && last)
            *last = decodeItem();
        throw;
    }
    if (read > 0 && last)
        *last = decodeItem();
    return read;
}

// Units are 16-bit in a UTF-16 file, bytes in an 8-bit one.
bool ItemReader::wide() const
{
    return m_encoding == Encoding::Utf16LittleEndian || m_encoding == Encoding::Utf16BigEndian;
}

std::ptrdiff_t ItemReader::unitsLeft() const
{
    return (m_end - m_pos) / (wide() ? 2 : 1);
}

template <typename Unit>
const Unit* ItemReader::unread() const
{
    return reinterpret_cast<const Unit*>(m_block.data() + m_pos);
}

// Whether a unit is left to read, reading the next block once this one is used up.
bool ItemReader::haveUnits()
{
    if ((unitsLeft() == 0 || m_needBytes) && !m_fileDone)
        readBlock();
    return unitsLeft() > 0;
}

// Reads the next block. A UTF-16 file may leave the first byte of a unit behind, and an 8-bit
// one the start of a mark; they move to the front. Short reads (pipes, tests) are gathered up to
// half a block.
void ItemReader::readBlock()
{
    m_needBytes = false;
    const std::ptrdiff_t carried = m_end - m_pos;
    std::memmove(m_block.data(), m_block.data() + m_pos, size_t(carried));
    m_pos = 0;
    m_end = carried;
    const auto size = std::ptrdiff_t(m_block.size());
    // The first block holds the whole sample that decides the encoding, where the block can.
    const std::ptrdiff_t enough = m_encoding == Encoding::NotSeenYet ? std::max(size / 2, std::min(size, EncodingSample))
                                                                : size / 2;
    while (m_end < enough) {
        const std::int64_t got = m_file.read(m_block.data() + m_end, size - m_end);
        if (got <= 0) {
            m_fileDone = true;
            break;
        }
        m_end += std::ptrdiff_t(got);
    }
    if (m_encoding == Encoding::NotSeenYet)
        takeEncoding();
    // 16-bit units are read where they lie, so those in the other byte order are turned round.
    const Encoding otherOrder =
        std::endian::native == std::endian::big ? Encoding::Utf16LittleEndian : Encoding::Utf16BigEndian;
    if (m_encoding == otherOrder) {
        auto* bytes = reinterpret_cast<unsigned char*>(m_block.data() + m_pos);
        for (std::ptrdiff_t i = 0; i + 1 < m_end - m_pos; i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    }
}

// A byte-order mark says the encoding. Without one, a file is UTF-16 when, among the whole
// 16-bit units of its first EncodingSample bytes, at least half have a zero high byte and none a
// zero low byte (in one byte order): the form of UTF-16 text of a Latin script, line ends
// included. 8-bit text holds no zero bytes at all; a file of zeros, or one with zeros on both
// sides, stays 8-bit, and its NUL characters are refused when drawn.
void ItemReader::takeEncoding()
{
    const auto* b = reinterpret_cast<const unsigned char*>(m_block.data());
    m_encoding = Encoding::Bytes;
    // A UTF-8 mark is skipped where every line's is (readFromBlock); here it only says 8-bit.
    if (m_end >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return;
    if (m_end >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        m_encoding = Encoding::Utf16LittleEndian;
        m_pos = 2;
        return;
    }
    if (m_end >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        m_encoding = Encoding::Utf16BigEndian;
        m_pos = 2;
        return;
    }
    const std::ptrdiff_t units = std::min(m_end, EncodingSample) / 2;
    std::ptrdiff_t zeroEven = 0, zeroOdd = 0;
    for (std::ptrdiff_t i = 0; i < units; ++i) {
        zeroEven += b[2 * i] == 0;
        zeroOdd += b[2 * i + 1] == 0;
    }
    if (units >= 2 && zeroEven == 0 && 2 * zeroOdd >= units)
        m_encoding = Encoding::Utf16LittleEndian;
    else if (units >= 2 && zeroOdd == 0 && 2 * zeroEven >= units)
        m_encoding = Encoding::Utf16BigEndian;
}

// Reads the unread units of the block: all of them when they hold fewer than `limit` item
// starts, otherwise up to the line end of the item that makes the limit. Returns the items read.
template <typename Unit>
std::int64_t ItemReader::readFromBlock(std::int64_t limit)
{
    const Unit* p = unread<Unit>();
    const std::ptrdiff_t n = unitsLeft();
    // An item that began in an earlier block runs on to its line end; the search starts there.
    std::ptrdiff_t from = 0;
    if (m_inItem)
        from = keepItem(p, 0, n);
    // A line that opens with marks before its item has its item start counted where the marks
    // stand, as any other; only lines of marks alone (and marks that run to the end of the
    // block) must not count, so the search is split around them.
    ItemStarts starts;
    std::ptrdiff_t stop = n; // the units read
    bool inMarks = false; // they end in marks that open a line
    for (std::ptrdiff_t at = from;;) {
        const std::ptrdiff_t mark = nextMarkLine(p, at, n);
        const ItemStarts here = findItemStarts(p + at, mark - at, limit - starts.count);
        if (here.count > 0) {
            starts.count += here.count;
            starts.last = at + here.last;
        }
        if (starts.count == limit || mark == n)
            break;
        Mark kind = Mark::None;
        at = pastMarks(p, mark, n, &kind);
        if (kind == Mark::Cut) {
            // The rest of the mark is in the next block: read again from its start there.
            stop = at;
            m_needBytes = true;
        }
        if (kind == Mark::Cut || at == n) {
            inMarks = true;
            break;
        }
    }
    if (starts.count > 0) {
        m_item.clear();
        Mark kind = Mark::None;
        const std::ptrdiff_t end = keepItem(p, pastMarks(p, starts.last, n, &kind), n);
        if (starts.count == limit)
            stop = end;
    }
    if (m_countLines) {
        if (starts.count > 0) {
            bool afterCr = m_afterCr;
            m_lastItemLine = m_lineEnds + lineEnds(p, starts.last, &afterCr) + 1;
        }
        m_lineEnds += lineEnds(p, stop, &m_afterCr);
    }
    if (stop > 0)
        m_inItem = !inMarks && !isLineEnd(p[stop - 1]);
    m_pos += stop * std::ptrdiff_t(sizeof(Unit));
    return starts.count;
}

// Whether a UTF-8 byte-order mark stands at p[i], of the units [p, p + n) read so far: Cut when
// they end inside what may be one, and the file has more to tell.
template <typename Unit>
ItemReader::Mark ItemReader::markAt(const Unit* p, std::ptrdiff_t i, std::ptrdiff_t n) const
{
    static constexpr unsigned char mark[MarkUnits] = {0xEF, 0xBB, 0xBF};
    for (std::ptrdiff_t k = 0; k < MarkUnits; ++k) {
        if (i + k == n)
            return k > 0 && !m_fileDone ? Mark::Cut : Mark::None;
        if (std::make_unsigned_t<Unit>(p[i + k]) != mark[k])
            return Mark::None;
    }
    return Mark::Whole;
}

// Where the marks at p[i] end (at i when there are none), and whether what follows is a mark
// cut by the end of the block. Only 8-bit files have marks.
template <typename Unit>
std::ptrdiff_t ItemReader::pastMarks(const Unit* p, std::ptrdiff_t i, std::ptrdiff_t n, Mark* kind) const
{
    if constexpr (std::is_same_v<Unit, char>) {
        while ((*kind = markAt(p, i, n)) == Mark::Whole)
            i += MarkUnits;
    }
    return i;
}

// The first line in [p + from, p + n) that holds nothing but marks in this block: a line of marks
// alone, or marks (or the start of one) that run to the end of the block; n when there is none.
template <typename Unit>
std::ptrdiff_t ItemReader::nextMarkLine(const Unit* p, std::ptrdiff_t from, std::ptrdiff_t n) const
{
    if constexpr (std::is_same_v<Unit, char>) {
        const auto marksAlone = [&](std::ptrdiff_t i) {
            Mark kind = Mark::None;
            const std::ptrdiff_t end = pastMarks(p, i, n, &kind);
            return kind == Mark::Cut || (end > i && (end == n || isLineEnd(p[end])));
        };
        // Most blocks hold no 0xEF byte at all, and findByte tells so at memory speed; where they
        // are few it hops from one to the next. Text with many (Windows-1252's "ï", halfwidth
        // forms in UTF-8) is searched a chunk at a time instead.
        const char* q = p + from;
        for (int hops = 0; hops < 16; ++hops, ++q) {
            q += findByte(q, p + n - q, '\xEF');
            if (q == p + n)
                return n;
            // p[0] opens a line whenever it is searched: an item under way was read past it.
            const std::ptrdiff_t i = q - p;
            if ((i == 0 || isLineEnd(p[i - 1])) && marksAlone(i))
                return i;
        }
        for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(q - p, 1); i < n; ++i) {
            i += findMarkLine(p + i - 1, n - i + 1) - 1;
            if (i < n && marksAlone(i))
                return i;
        }
    }
    return n;
}

// Reads on to the end of the item under way. Returns true once its line end is in sight.
template <typename Unit>
bool ItemReader::finishItem()
{
    const std::ptrdiff_t n = unitsLeft();
    const std::ptrdiff_t end = keepItem(unread<Unit>(), 0, n);
    m_pos += end * std::ptrdiff_t(sizeof(Unit));
    return end < n;
}

// Keeps the units of the item from p[from] to its line end (or to n, where it runs on past the
// block) and returns where they end. Past MaxItemUnits one unit more is kept, to mark the cut.
template <typename Unit>
std::ptrdiff_t ItemReader::keepItem(const Unit* p, std::ptrdiff_t from, std::ptrdiff_t n)
{
    std::ptrdiff_t end = from;
    while (end < n && !isLineEnd(p[end]))
        ++end;
    const std::ptrdiff_t room = MaxItemUnits + 1 - std::ptrdiff_t(m_item.size() / sizeof(Unit));
    m_item.append(reinterpret_cast<const char*>(p + from), std::size_t(std::min(end - from, room)) * sizeof(Unit));
    return end;
}

// The lines ended in [p, p + n): every CR, and every LF but one right after a CR.
template <typename Unit>
std::int64_t ItemReader::lineEnds(const Unit* p, std::ptrdiff_t n, bool* afterCr) const
{
    std::int64_t count = 0;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        if (p[i] == Unit('\r') || (p[i] == Unit('\n') && !*afterCr))
            ++count;
        *afterCr = p[i] == Unit('\r');
    }
    return count;
}

std::u16string ItemReader::decodeItem() const
{
    if (wide()) {
        const auto units = std::ptrdiff_t(m_item.size() / 2);
        std::u16string text(std::size_t(std::min(units, MaxItemUnits)), u'\0');
        std::memcpy(text.data(), m_item.data(), text.size() * 2);
        if (units > MaxItemUnits && text.back() >= 0xD800 && text.back() < 0xDC00)
            text.pop_back();
        replaceHalfPairs(text);
        return text;
    }
    std::string_view bytes = m_item;
    bytes = bytes.substr(0, std::size_t(MaxItemUnits));
    if (std::ptrdiff_t(m_item.size()) > MaxItemUnits)
        bytes = bytes.substr(0, wholeUtf8Prefix(bytes));
    if (std::optional<std::u16string> text = fromUtf8(bytes))
        return *std::move(text);
    return fromWindows1252(bytes);
}
