// SPDX-License-Identifier: MIT
// Block-wise item reading: each block is searched once for item starts, and only the item kept
// is copied and decoded.
#include "words/item_reader.h"

#include "words/item_starts.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {

// Windows-1252 for the bytes 0x80..0x9F; the other bytes are their own code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

// Length of `bytes` without an incomplete UTF-8 sequence at its end.
qsizetype wholeUtf8Prefix(const QByteArray& bytes)
{
    qsizetype n = bytes.size();
    for (qsizetype back = 1; back <= 4 && back <= n; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[n - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: keep looking for its lead byte
        const int needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? n - back : n;
    }
    return n;
}

} // namespace

ItemReader::ItemReader(InputFile& file, qsizetype blockSize)
    : m_file(file)
    , m_block(std::max<qsizetype>(blockSize, 16))
{
}

qint64 ItemReader::readItems(qint64 limit, QString* last)
{
    qint64 read = 0;
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

// Units are 16-bit in a file that starts with a UTF-16 byte-order mark, bytes in any other.
bool ItemReader::wide() const
{
    return m_encoding == Encoding::Utf16LittleEndian || m_encoding == Encoding::Utf16BigEndian;
}

qsizetype ItemReader::unitsLeft() const
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
    if (unitsLeft() == 0 && !m_fileDone)
        readBlock();
    return unitsLeft() > 0;
}

// Reads the next block. A UTF-16 file may leave the first byte of a unit behind, which moves to
// the front; short reads (pipes, tests) are gathered up to half a block.
void ItemReader::readBlock()
{
    const qsizetype carried = m_end - m_pos;
    std::memmove(m_block.data(), m_block.data() + m_pos, size_t(carried));
    m_pos = 0;
    m_end = carried;
    const auto size = qsizetype(m_block.size());
    // The first block holds the whole sample that decides the encoding, where the block can.
    const qsizetype enough = m_encoding == Encoding::NotSeenYet ? std::max(size / 2, std::min(size, EncodingSample))
                                                                : size / 2;
    while (m_end < enough) {
        const qint64 got = m_file.read(m_block.data() + m_end, size - m_end);
        if (got <= 0) {
            m_fileDone = true;
            break;
        }
        m_end += qsizetype(got);
    }
    if (m_encoding == Encoding::NotSeenYet)
        takeEncoding();
    // 16-bit units are read where they lie, so those in the other byte order are turned round.
    const Encoding otherOrder = QSysInfo::ByteOrder == QSysInfo::BigEndian ? Encoding::Utf16LittleEndian
                                                                           : Encoding::Utf16BigEndian;
    if (m_encoding == otherOrder) {
        auto* bytes = reinterpret_cast<unsigned char*>(m_block.data() + m_pos);
        for (qsizetype i = 0; i + 1 < m_end - m_pos; i += 2)
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
    if (m_end >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        m_pos = 3;
        return;
    }
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
    const qsizetype units = std::min(m_end, EncodingSample) / 2;
    qsizetype zeroEven = 0, zeroOdd = 0;
    for (qsizetype i = 0; i < units; ++i) {
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
qint64 ItemReader::readFromBlock(qint64 limit)
{
    const Unit* p = unread<Unit>();
    const qsizetype n = unitsLeft();
    // An item that began in an earlier block runs on to its line end; the search starts there.
    qsizetype from = 0;
    if (m_inItem)
        from = keepItem(p, 0, n);
    const ItemStarts starts = findItemStarts(p + from, n - from, limit);
    qsizetype stop = n; // the units read
    if (starts.count > 0) {
        m_item.clear();
        const qsizetype end = keepItem(p, from + starts.last, n);
        if (starts.count == limit)
            stop = end;
    }
    if (m_countLines) {
        if (starts.count > 0) {
            bool afterCr = m_afterCr;
            m_lastItemLine = m_lineEnds + lineEnds(p, from + starts.last, &afterCr) + 1;
        }
        m_lineEnds += lineEnds(p, stop, &m_afterCr);
    }
    m_inItem = !isLineEnd(p[stop - 1]);
    m_pos += stop * qsizetype(sizeof(Unit));
    return starts.count;
}

// Reads on to the end of the item under way. Returns true once its line end is in sight.
template <typename Unit>
bool ItemReader::finishItem()
{
    const qsizetype n = unitsLeft();
    const qsizetype end = keepItem(unread<Unit>(), 0, n);
    m_pos += end * qsizetype(sizeof(Unit));
    return end < n;
}

// Keeps the units of the item from p[from] to its line end (or to n, where it runs on past the
// block) and returns where they end. Past MaxItemUnits one unit more is kept, to mark the cut.
template <typename Unit>
qsizetype ItemReader::keepItem(const Unit* p, qsizetype from, qsizetype n)
{
    qsizetype end = from;
    while (end < n && !isLineEnd(p[end]))
        ++end;
    const qsizetype room = MaxItemUnits + 1 - m_item.size() / qsizetype(sizeof(Unit));
    m_item.append(reinterpret_cast<const char*>(p + from), std::min(end - from, room) * qsizetype(sizeof(Unit)));
    return end;
}

// The lines ended in [p, p + n): every CR, and every LF but one right after a CR.
template <typename Unit>
qint64 ItemReader::lineEnds(const Unit* p, qsizetype n, bool* afterCr) const
{
    qint64 count = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == Unit('\r') || (p[i] == Unit('\n') && !*afterCr))
            ++count;
        *afterCr = p[i] == Unit('\r');
    }
    return count;
}

QString ItemReader::decodeItem() const
{
    if (wide()) {
        const qsizetype units = m_item.size() / 2;
        QString text(reinterpret_cast<const QChar*>(m_item.constData()), std::min(units, MaxItemUnits));
        if (units > MaxItemUnits && text.back().isHighSurrogate())
            text.chop(1);
        return text;
    }
    QByteArray bytes = m_item.left(MaxItemUnits);
    if (m_item.size() > MaxItemUnits)
        bytes.truncate(wholeUtf8Prefix(bytes));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return fromWindows1252(bytes);
    return text;
}
