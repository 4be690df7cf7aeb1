// SPDX-License-Identifier: MIT
// Counting and fetching items of the word list, and what each failure of them means.
#include "words/word_list.h"

#include "words/item_reader.h"

#include "platform/text.h"

#include <algorithm>
#include <string_view>

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

    std::int64_t read(char* data, std::int64_t maxSize) override
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
std::int64_t readInto(FormState& form, ItemReader& reader, std::int64_t limit, std::int32_t maxPos)
{
    try {
        return reader.readItems(limit, &form.Word);
    } catch (const PlatformError&) {
        form.Pos = std::int32_t(std::min<std::int64_t>(reader.readBeforeFailure(), maxPos));
        throw;
    }
}

// The line of the file on which the `ordinal`-th item stands, read again from the start: only an
// item the user has to find in the file is worth a second reading, and the count that the
// commands make for every word stays a single walk.
std::int64_t lineOfItem(Platform& platform, std::int64_t ordinal)
{
    ServedList file(platform);
    ItemReader reader(file);
    reader.countLines();
    reader.readItems(ordinal, nullptr);
    return reader.lineOfLastItem();
}

// What the user is told of a character that cannot be typed, with its code.
std::u16string untypeableName(char16_t unit)
{
    static constexpr char16_t hexDigits[] = u"0123456789ABCDEF";
    std::u16string code = u"U+";
    for (int shift = 12; shift >= 0; shift -= 4)
        code += hexDigits[(unit >> shift) & 0xF];
    if (unit == 0xFEFF)
        return u"a byte-order mark (" + code + u")";
    return u"a control character (" + code + u")";
}

} // namespace

void endForMissingList(Platform& platform)
{
    platform.messageBox(u"Error Words.TxT File Missing", MessageIcon::Exclamation, u"Quorbel_Words");
    platform.endProcess(1);
}

std::u16string wordListPath(Platform& platform)
{
    // The folder comes without a separator at its end; '/' separates on Windows too.
    return platform.applicationFolder() + u"/Words.TxT";
}

void CountWords(FormState& form, Platform& platform, std::int32_t maxCount)
{
    try {
        form.Pos = 0;
        std::int64_t count = 0;
        {
            ServedList file(platform);
            ItemReader reader(file);
            // One item past the limit is read: that one tells a list longer than Total can count.
            count = readInto(form, reader, std::int64_t(maxCount) + 1, maxCount);
        }
        if (count > maxCount) {
            form.Pos = maxCount;
            throw PlatformError{ErrorNumber::Overflow, u"Overflow"};
        }
        form.Pos = std::int32_t(count);
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
        constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
        const std::int64_t limit = pick >= 1.0 && pick <= double(largest) ? std::int64_t(pick) : largest;
        {
            ServedList file(platform);
            ItemReader reader(file);
            form.Pos = std::int32_t(readInto(form, reader, limit, largest));
        }
        form.Fault = {};
        if (form.Pos < limit) {
            form.Fault.kind = form.Pos == 0 ? DrawFault::EmptyList : DrawFault::ShortenedList;
        } else if (const std::size_t at = firstUntypeable(form.Word); at != std::u16string::npos) {
            form.Fault = {DrawFault::Untypeable, untypeableName(form.Word[at]), lineOfItem(platform, limit)};
        }
    } catch (const PlatformError& error) {
        keepFault(error, form);
    }
}

std::size_t firstUntypeable(std::u16string_view item)
{
    for (std::size_t i = 0; i < item.size(); ++i) {
        const char16_t unit = item[i];
        if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0) || unit == 0xFEFF)
            return i;
    }
    return std::u16string::npos;
}
