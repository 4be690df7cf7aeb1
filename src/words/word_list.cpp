// SPDX-License-Identifier: MIT
// Counting and fetching items of the word list, and what each failure of them means.
#include "words/word_list.h"

#include "words/item_reader.h"

#include <algorithm>

namespace {

// The word list as the readers see it: before each block is read, the window system has its
// turn, so a long read neither freezes the window nor keeps a request to close waiting.
class ServedList final : public InputFile
{
public:
    explicit ServedList(Platform& platform)
        : m_platform(platform)
        , m_file(platform.openForInput(wordListPath(platform)))
    {
    }

    qint64 read(char* data, qint64 maxSize) override
    {
        m_platform.serveWhileReading();
        return m_file->read(data, maxSize);
    }

private:
    Platform& m_platform;
    std::unique_ptr<InputFile> m_file;
};

// The trap of both readers keeps what went wrong. The file is already closed here: it is
// closed on every way out of the reader's scope.
void keepFault(const PlatformError& error, FormState& form)
{
    form.Fault = {DrawFault::UnreadableList, error.description};
    if (error.number == ErrorNumber::FileNotFound)
        form.Fault.kind = DrawFault::MissingList;
    if (error.number == ErrorNumber::Overflow)
        form.Fault.kind = DrawFault::OverlongList;
    if (error.number == ErrorNumber::UserInterrupt)
        form.Fault.kind = DrawFault::Stopped;
}

// Reads up to `limit` items, the last into Word. A read that fails half way still leaves Pos
// at the count reached (at most `maxPos`) and Word at the last item read before it.
qint64 readInto(FormState& form, ItemReader& reader, qint64 limit, qint32 maxPos)
{
    try {
        return reader.readItems(limit, &form.Word);
    } catch (const PlatformError&) {
        form.Pos = qint32(std::min<qint64>(reader.readBeforeFailure(), maxPos));
        throw;
    }
}

// The line of the file on which the `ordinal`-th item stands, read again from the start: only an
// item the user has to find in the file is worth a second reading, and the count that the
// commands make for every word stays a single walk.
qint64 lineOfItem(Platform& platform, qint64 ordinal)
{
    ServedList file(platform);
    ItemReader reader(file);
    reader.countLines();
    reader.readItems(ordinal, nullptr);
    return reader.lineOfLastItem();
}

} // namespace

void endForMissingList(Platform& platform)
{
    platform.messageBox(QStringLiteral("Error Words.TxT File Missing"), MessageButtons::Ok, MessageIcon::Exclamation,
                        QStringLiteral("Quorbel_Words"));
    platform.endProcess(1);
}

QString wordListPath(Platform& platform)
{
    return platform.applicationFolder() + QStringLiteral("/Words.TxT");
}

void CountWords(FormState& form, Platform& platform, qint32 maxCount)
{
    try {
        form.Pos = 0;
        qint64 count = 0;
        {
            ServedList file(platform);
            ItemReader reader(file);
            // One item past the limit is read: that one tells a list longer than Total can count.
            count = readInto(form, reader, qint64(maxCount) + 1, maxCount);
        }
        if (count > maxCount) {
            form.Pos = maxCount;
            throw PlatformError{ErrorNumber::Overflow, QStringLiteral("Overflow")};
        }
        form.Pos = qint32(count);
        form.Total = form.Pos;
        form.Fault = {count == 0 ? DrawFault::EmptyList : DrawFault::None, {}};
    } catch (const PlatformError& error) {
        keepFault(error, form);
        // Before the window opens, a missing list is the one failure worth stopping for.
        if (form.Fault.kind == DrawFault::MissingList)
            endForMissingList(platform);
    }
}

void FetchWord(FormState& form, Platform& platform)
{
    try {
        form.Pos = 0;
        // Pick is a whole number >= 1; items are read until Pos equals it or the list ends.
        const double pick = form.Pick.value_or(0.0);
        const qint64 limit = pick >= 1.0 && pick <= double(std::numeric_limits<qint32>::max())
                                 ? qint64(pick)
                                 : std::numeric_limits<qint32>::max();
        {
            ServedList file(platform);
            ItemReader reader(file);
            form.Pos = qint32(readInto(form, reader, limit, std::numeric_limits<qint32>::max()));
        }
        form.Fault = {};
        if (form.Pos < limit) {
            form.Fault.kind = form.Pos == 0 ? DrawFault::EmptyList : DrawFault::ShortenedList;
        } else if (const qsizetype at = firstUntypeable(form.Word); at >= 0) {
            const QString code = QStringLiteral("U+%1").arg(form.Word.at(at).unicode(), 4, 16, QLatin1Char('0')).toUpper();
            form.Fault = {DrawFault::Untypeable, code, lineOfItem(platform, limit)};
        }
    } catch (const PlatformError& error) {
        keepFault(error, form);
    }
}

qsizetype firstUntypeable(const QString& item)
{
    for (qsizetype i = 0; i < item.size(); ++i) {
        const char16_t unit = item.at(i).unicode();
        if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0))
            return i;
    }
    return -1;
}
