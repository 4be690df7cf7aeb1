// SPDX-License-Identifier: MIT
// Block-wise item scanning with a vectorised count of line starts.
#include "words/item_reader.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline bool isLineEnd(unsigned unit)
{
    return unit == '\n' || unit == '\r';
}

// Counts the item starts in [p, p + n): units that are not line ends and follow a line end
// (or, for p[0], follow whatever `afterLineEnd` says).
template <typename Unit>
qint64 countStarts(const Unit* p, qsizetype n, bool afterLineEnd)
{
    qint64 count = 0;
    bool previous = afterLineEnd;
    for (qsizetype i = 0; i < n; ++i) {
        const bool end = isLineEnd(p[i]);
        count += previous && !end;
        previous = end;
    }
    return count;
}

#if defined(__SSE2__)
// The byte case is the hot one: 16 bytes a step, comparing each byte and the one before it.
qint64 countStartsSse2(const char* p, qsizetype n)
{
    qint64 count = 0;
    qsizetype i = 1;
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (i + 16 <= n) {
        // Per-byte counters overflow after 255 steps: fold them into 64-bit sums before that.
        __m128i counters = _mm_setzero_si128();
        const qsizetype stop = std::min(n - 15, i + 255 * 16);
        for (; i < stop; i += 16) {
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
            const __m128i hereEnd = _mm_or_si128(_mm_cmpeq_epi8(here, lf), _mm_cmpeq_epi8(here, cr));
            const __m128i beforeEnd = _mm_or_si128(_mm_cmpeq_epi8(before, lf), _mm_cmpeq_epi8(before, cr));
            counters = _mm_sub_epi8(counters, _mm_andnot_si128(hereEnd, beforeEnd)); // 0xFF is -1
        }
        const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
        count += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
    for (; i < n; ++i)
        count += isLineEnd(static_cast<unsigned char>(p[i - 1])) && !isLineEnd(static_cast<unsigned char>(p[i]));
    return count;
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define LEXITROVE_HAVE_AVX2 1
// The same, 32 bytes a step, on processors that have AVX2 (chosen at run time).
__attribute__((target("avx2"))) qint64 countStartsAvx2(const char* p, qsizetype n)
{
    qint64 count = 0;
    qsizetype i = 1;
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    while (i + 32 <= n) {
        __m256i counters = _mm256_setzero_si256();
        const qsizetype stop = std::min(n - 31, i + 255 * 32);
        for (; i < stop; i += 32) {
            const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
            const __m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i - 1));
            const __m256i hereEnd = _mm256_or_si256(_mm256_cmpeq_epi8(here, lf), _mm256_cmpeq_epi8(here, cr));
            const __m256i beforeEnd = _mm256_or_si256(_mm256_cmpeq_epi8(before, lf), _mm256_cmpeq_epi8(before, cr));
            counters = _mm256_sub_epi8(counters, _mm256_andnot_si256(hereEnd, beforeEnd));
        }
        const __m256i sums = _mm256_sad_epu8(counters, _mm256_setzero_si256());
        count += _mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) + _mm256_extract_epi64(sums, 2)
                 + _mm256_extract_epi64(sums, 3);
    }
    for (; i < n; ++i)
        count += isLineEnd(static_cast<unsigned char>(p[i - 1])) && !isLineEnd(static_cast<unsigned char>(p[i]));
    return count;
}
#endif

template <>
qint64 countStarts<char>(const char* p, qsizetype n, bool afterLineEnd)
{
    if (n == 0)
        return 0;
    const qint64 first = (afterLineEnd && !isLineEnd(static_cast<unsigned char>(p[0]))) ? 1 : 0;
#if defined(LEXITROVE_HAVE_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return first + countStartsAvx2(p, n);
#endif
#if defined(__SSE2__)
    return first + countStartsSse2(p, n);
#else
    qint64 count = first;
    for (qsizetype i = 1; i < n; ++i)
        count += isLineEnd(static_cast<unsigned char>(p[i - 1])) && !isLineEnd(static_cast<unsigned char>(p[i]));
    return count;
#endif
}

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
    const qint64 starts = countStarts(p, n, !m_inItem);
    qsizetype from = -1; // where the item to keep starts in this block
    qsizetype stop = n;  // units of the block read by this call
    qint64 read = starts;
    if (starts >= limit) {
        // Skip whole stretches with the fast count, then walk the stretch that holds it.
        constexpr qsizetype stretch = 256;
        qint64 seen = 0;
        bool afterEnd = !m_inItem;
        for (from = 0; from + stretch < n; from += stretch) {
            const qint64 here = countStarts(p + from, stretch, afterEnd);
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
    while (read < limit && (unitsLeft() > 0 || refill())) {
        read += m_utf16 ? readFromBlock(reinterpret_cast<const char16_t*>(m_block.data() + m_pos), unitsLeft(), limit - read)
                        : readFromBlock(m_block.data() + m_pos, unitsLeft(), limit - read);
    }
    if (read == 0)
        return 0;
    // The last item read may run on past the block it started in.
    while (m_inItem && (unitsLeft() > 0 || refill())) {
        const bool done = m_utf16 ? finishItem(reinterpret_cast<const char16_t*>(m_block.data() + m_pos), unitsLeft())
                                  : finishItem(m_block.data() + m_pos, unitsLeft());
        if (done)
            break;
    }
    if (last)
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
