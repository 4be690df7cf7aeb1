// SPDX-License-Identifier: MIT
// Fuzzes the word-list reader: any bytes as Words.TxT must count, fetch and decode exactly as a
// plain, slow reading of the same rules does, with no crash, hang or file left open.
#include "fake_platform.h"
#include "words/item_reader.h"
#include "words/word_list.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr qsizetype kMaxItemUnits = 4096;
static_assert(ItemReader::MaxItemUnits == kMaxItemUnits, "the reference below states the cap itself");

// The start of a text for a failure message, with its length.
QByteArray shown(const QString& text)
{
    return QByteArray::number(text.size()) + " units: " + text.left(80).toUtf8().toPercentEncoding(" ");
}

void check(bool ok, const char* what, const QString& got = {}, const QString& expected = {})
{
    if (ok)
        return;
    std::fprintf(stderr, "word list reader: %s\n  got      %s\n  expected %s\n", what, shown(got).constData(),
                 shown(expected).constData());
    std::abort();
}

// UTF-8 as RFC 3629 has it: shortest forms only, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned lead = p[i];
        int length = 0;
        unsigned low = 0x80, high = 0xBF; // the range of the second byte
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > n || p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// An 8-bit item: at most kMaxItemUnits bytes, and a cut never ends inside a character, that is
// after a lead byte that announces more bytes than the cut left it.
QString byteItem(QByteArray line)
{
    if (line.size() > kMaxItemUnits) {
        line.truncate(kMaxItemUnits);
        qsizetype lead = line.size() - 1;
        while (lead > 0 && line.size() - lead < 4 && (uchar(line[lead]) & 0xC0) == 0x80)
            --lead;
        const uchar byte = uchar(line[lead]);
        const qsizetype announced = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        if ((byte & 0xC0) != 0x80 && lead + announced > line.size())
            line.truncate(lead);
    }
    if (isValidUtf8(line))
        return QString::fromUtf8(line);
    static QStringDecoder windows1252("windows-1252", QStringDecoder::Flag::Stateless);
    windows1252.resetState();
    return windows1252.decode(line);
}

QString wideItem(QString line)
{
    if (line.size() > kMaxItemUnits) {
        line.truncate(kMaxItemUnits);
        if (line.back().isHighSurrogate())
            line.chop(1);
    }
    return line;
}

// Whether a file without a byte-order mark is read as UTF-16, and in which order: decided on its
// first `sample` bytes, where every unit with a zero byte in one half has it in the same half,
// and half of the units or more have one.
enum class Wide { No, Little, Big };
Wide wideWithoutMark(const QByteArray& file, qsizetype sample)
{
    const qsizetype units = std::min(file.size(), sample) / 2;
    qsizetype zeroFirst = 0, zeroSecond = 0;
    for (qsizetype i = 0; i < units; ++i) {
        zeroFirst += file[2 * i] == 0;
        zeroSecond += file[2 * i + 1] == 0;
    }
    if (units < 2)
        return Wide::No;
    if (zeroFirst == 0 && 2 * zeroSecond >= units)
        return Wide::Little;
    if (zeroSecond == 0 && 2 * zeroFirst >= units)
        return Wide::Big;
    return Wide::No;
}

// The file's items, one unit at a time: the byte-order mark, or without one the look of the
// first `sample` bytes, decides between bytes and 16-bit units (an odd last byte of a UTF-16
// file is no unit); CR and LF end lines; empty lines are no items.
QStringList referenceItems(const QByteArray& file, qsizetype sample)
{
    const auto byte = [&](qsizetype i) { return uchar(file[i]); };
    QStringList items;
    const bool marked = file.size() >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF));
    const bool utf8Marked = file.startsWith("\xEF\xBB\xBF");
    const Wide unmarked = marked || utf8Marked ? Wide::No : wideWithoutMark(file, sample);
    if (marked || unmarked != Wide::No) {
        const bool little = marked ? byte(0) == 0xFF : unmarked == Wide::Little;
        QString line;
        for (qsizetype i = marked ? 2 : 0; i + 1 < file.size(); i += 2) {
            const char16_t unit = little ? char16_t(byte(i) | byte(i + 1) << 8) : char16_t(byte(i) << 8 | byte(i + 1));
            if (unit == u'\n' || unit == u'\r') {
                if (!line.isEmpty())
                    items.append(wideItem(line));
                line.clear();
            } else {
                line.append(QChar(unit));
            }
        }
        if (!line.isEmpty())
            items.append(wideItem(line));
        return items;
    }
    for (const QByteArray& line : file.mid(utf8Marked ? 3 : 0).replace('\r', '\n').split('\n')) {
        if (!line.isEmpty())
            items.append(byteItem(line));
    }
    return items;
}

// Counting and fetching as the program does them, through the platform double.
void checkProcedures(const QByteArray& file, const QStringList& items, qint64 readChunk)
{
    FakePlatform platform;
    platform.setWordList(file);
    platform.setReadChunk(readChunk);
    const auto total = qint32(items.size());

    FormState form;
    CountWords(form, platform);
    check(form.Total == total && form.Pos == total, "count", QString::number(form.Total), QString::number(total));
    const QString last = items.isEmpty() ? QString() : items.last();
    check(form.Word == last, "last item counted", form.Word, last);

    // Lowering the overflow limit below the count makes counting fail quietly.
    if (total > 0) {
        FormState overflowing;
        CountWords(overflowing, platform, total - 1);
        check(overflowing.Total == 0 && overflowing.Pos == total - 1, "overflow is quiet and leaves Total alone");
    }

    QList<qint32> ordinals;
    const qint32 step = std::max(1, total / 64);
    for (qint32 ordinal = 1; ordinal <= total; ordinal += step)
        ordinals << ordinal;
    ordinals << total << total + 1;
    for (const qint32 ordinal : ordinals) {
        form.Word = QStringLiteral("before");
        form.Pick = double(ordinal);
        FetchWord(form, platform);
        const qint32 reached = std::min(ordinal, total);
        check(form.Pos == reached, "fetch position", QString::number(form.Pos), QString::number(reached));
        const QString expected = reached == 0 ? QStringLiteral("before") : items.at(reached - 1);
        check(form.Word == expected, "fetched item", form.Word, expected);
    }
    check(platform.openFiles() == 0 && platform.messages().isEmpty() && !platform.hasEnded(), "clean finish");
}

// The reader on its own, with small blocks, read in uneven strides to the end.
void checkStrides(const QByteArray& file, const QStringList& items, qsizetype blockSize, qint64 stride)
{
    FakePlatform platform;
    platform.setWordList(file);
    const auto input = platform.openForInput(wordListPath(platform));
    ItemReader reader(*input, blockSize);
    qint64 done = 0;
    for (qint64 limit = 1;; limit = limit % stride + 1) {
        QString item = QStringLiteral("untouched");
        const qint64 read = reader.readItems(limit, &item);
        check(read == std::min(limit, items.size() - done), "items read in a stride");
        if (read == 0) {
            check(item == QStringLiteral("untouched"), "no item, no change", item);
            break;
        }
        done += read;
        check(item == items.at(done - 1), "item at the end of a stride", item, items.at(done - 1));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    // Block, chunk and stride sizes follow from the input, so that the fuzzer moves boundaries.
    // The encoding is decided on the first 4,096 bytes, or on a whole block where it is smaller.
    const std::uint32_t mix = (std::uint32_t(size) * 2654435761u) ^ (size ? data[size / 2] * 40503u : 0u);
    const qsizetype blockSize = 16 + qsizetype(mix >> 8) % 300;
    static_assert(ItemReader::EncodingSample == 4096, "the reference states the sample itself");
    checkProcedures(file, referenceItems(file, 4096), 1 + qint64(mix % 5003));
    checkStrides(file, referenceItems(file, blockSize), blockSize, 1 + qint64(mix >> 20) % 7);
    return 0;
}
