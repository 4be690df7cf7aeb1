// SPDX-License-Identifier: MIT
// Block-wise item scanning: whole blocks are counted, and only the item kept is decoded.
#include "words/item_reader.h"

#include "words/item_starts.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {

unsigned unitAt(const char* p, qsizetype i)
{
    return static_cast<unsigned char>(p[i]);
}
unsigned unitAt(const char16_t* p, qsizetype i)
{
    return p[i];
}

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

qsizetype ItemReader::unitsLeft() const
{
    return m_utf16 ? (m_len - m_pos) / 2 : m_len - m_pos;
}

// Reads the next block. Only called once fewer than one unit is left; in a UTF-16 file that
// may be the odd first byte of a unit, which moves to the front of the block.
bool ItemReader::refill()
{
    if (m_eof)
        return false;
    const qsizetype carried = m_len - m_pos;
    if (carried > 0)
        std::memmove(m_block.data(), m_block.data() + m_pos, size_t(carried));
    m_pos = 0;
    m_len = carried;
    const auto size = qsizetype(m_block.size());
    while (m_len < size / 2) { // short reads (pipes, tests) are gathered up to half a block
        const qint64 got = m_file.read(m_block.data() + m_len, size - m_len);
        if (got <= 0) {
            m_eof = true;
            break;
        }
        m_len += qsizetype(got);
    }
    if (!m_started) {
        m_started = true;
        const auto* b = reinterpret_cast<const unsigned char*>(m_block.data());
        if (m_len >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
            m_pos = 3;
        } else if (m_len >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
            m_utf16 = true;
            m_bigEndian = b[0] == 0xFE;
            m_pos = 2;
        }
    }
    if (m_utf16 && m_bigEndian != (QSysInfo::ByteOrder == QSysInfo::BigEndian)) {
        auto* bytes = reinterpret_cast<unsigned char*>(m_block.data() + m_pos);
        for (qsizetype i = 0; i + 1 < m_len - m_pos; i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    }
    return unitsLeft() > 0;
}

void ItemReader::keepItemUnits(const void* from, qsizetype units)
{
    const qsizetype width = m_utf16 ? 2 : 1;
    const qsizetype room = MaxItemUnits - m_item.size() / width;
    if (units > room) {
        m_itemCut = true;
        units = room;
    }
    m_item.append(static_cast<const char*>(from), units * width);
}

// Reads from the n units at p: the whole block when it holds fewer than `limit` item starts,
// otherwise up to the end of the item that reaches the limit. Returns the items read.
template <typename Unit>
qint64 ItemReader::readFromBlock(const Unit* p, qsizetype n, qint64 limit)
{
    const qint64 starts = countItemStarts(p, n, !m_inItem);
    qsizetype from = -1; // where the item to keep starts in this block
    qsizetype stop = n;  // units of the block read by this call
    qint64 read = starts;
    if (starts >= limit) {
        // Skip whole stretches with the fast count, then walk the stretch that holds it.
        constexpr qsizetype stretch = 256;
        qint64 seen = 0;
        bool afterEnd = !m_inItem;
        for (from = 0; from + stretch < n; from += stretch) {
            const qint64 here = countItemStarts(p + from, stretch, afterEnd);
            if (seen + here >= limit)
                break;
            seen += here;
            afterEnd = isLineEnd(unitAt(p, from + stretch - 1));
        }
        for (; from < n; ++from) {
            const bool end = isLineEnd(unitAt(p, from));
            if (afterEnd && !end && ++seen == limit)
                break;
            afterEnd = end;
        }
        read = limit;
        stop = from;
        while (stop < n && !isLineEnd(unitAt(p, stop)))
            ++stop;
    } else if (starts > 0) {
        from = n - 1; // the last item start of the block
        while (!(!isLineEnd(unitAt(p, from)) && (from == 0 ? !m_inItem : isLineEnd(unitAt(p, from - 1)))))
            --from;
    }
    if (from >= 0) {
        m_item.clear();
        m_itemCut = false;
        qsizetype end = from;
        while (end < n && !isLineEnd(unitAt(p, end)))
            ++end;
        keepItemUnits(p + from, end - from);
    } else if (m_inItem) {
        // The last item began in an earlier block and goes on here.
        qsizetype end = 0;
        while (end < n && !isLineEnd(unitAt(p, end)))
            ++end;
        keepItemUnits(p, end);
    }
    if (stop > 0)
        m_inItem = !isLineEnd(unitAt(p, stop - 1));
    m_pos += stop * qsizetype(sizeof(Unit));
    return read;
}

// Reads on to the end of the item under way. Returns true once its line end is in sight.
template <typename Unit>
bool ItemReader::finishItem(const Unit* p, qsizetype n)
{
    qsizetype end = 0;
    while (end < n && !isLineEnd(unitAt(p, end)))
        ++end;
    keepItemUnits(p, end);
    m_pos += end * qsizetype(sizeof(Unit));
    return end < n;
}

qint64 ItemReader::readItems(qint64 limit, QString* last)
{
    qint64 read = 0;
    try {
        while (read < limit && (unitsLeft() > 0 || refill())) {
            read += m_utf16 ? readFromBlock(reinterpret_cast<const char16_t*>(m_block.data() + m_pos), unitsLeft(),
                                            limit - read)
                            : readFromBlock(m_block.data() + m_pos, unitsLeft(), limit - read);
        }
        // The last item read may run on past the block it started in.
        while (read > 0 && m_inItem && (unitsLeft() > 0 || refill())) {
            const bool done = m_utf16
                                  ? finishItem(reinterpret_cast<const char16_t*>(m_block.data() + m_pos), unitsLeft())
                                  : finishItem(m_block.data() + m_pos, unitsLeft());
            if (done)
                break;
        }
    } catch (const PlatformError&) {
        // What was read before a failing read still counts, as it would for a reader that went
        // item by item: the caller learns how far it got, and the last item is handed over.
        m_readBeforeFailure = read;
        if (read > 0 && last)
            *last = decodeItem();
        throw;
    }
    if (read > 0 && last)
        *last = decodeItem();
    return read;
}

QString ItemReader::decodeItem() const
{
    if (m_utf16) {
        QString text(reinterpret_cast<const QChar*>(m_item.constData()), m_item.size() / 2);
        if (m_itemCut && !text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
        return text;
    }
    const QByteArray bytes = m_itemCut ? m_item.left(wholeUtf8Prefix(m_item)) : m_item;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return fromWindows1252(bytes);
    return text;
}
