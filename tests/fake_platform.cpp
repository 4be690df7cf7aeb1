// SPDX-License-Identifier: MIT
// The in-memory platform.
#include "fake_platform.h"

#include "platform/text.h"
#include "system/file_input.h"
#include "system/system_random.h"
#include "ui/window_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace WD = WindowDescription;

namespace {

// Thrown where the double is asked for what it cannot serve. It is no std::exception, so the
// window object's guard lets it through, and the test ends with the failure added below.
struct DoubleCannotServe
{
};

[[noreturn]] void cannotServe(const char* what)
{
    ADD_FAILURE() << "the test double cannot serve this: " << what;
    throw DoubleCannotServe{};
}

// No command or closing sequence of the program comes near this many pumps or window moves:
// one that reaches it would never end, and the test fails instead of hanging.
constexpr std::size_t kEndless = 1000000;

} // namespace

std::string utf8(std::u16string_view text)
{
    return toSystemUtf8(text);
}

class FakeInputFile final : public InputFile
{
public:
    FakeInputFile(FakePlatform& platform, std::string bytes)
        : m_platform(platform)
        , m_bytes(std::move(bytes))
    {
        ++m_platform.m_openFiles;
    }
    ~FakeInputFile() override { --m_platform.m_openFiles; }

    std::int64_t read(char* data, std::int64_t maxSize) override
    {
        std::int64_t available = std::int64_t(m_bytes.size()) - m_pos;
        if (m_platform.m_failReadsAfter >= 0) {
            if (m_pos >= m_platform.m_failReadsAfter)
                throw PlatformError{ErrorNumber::DeviceIo, u"Device I/O error"};
            available = std::min(available, m_platform.m_failReadsAfter - m_pos);
        }
        const std::int64_t n = std::min({maxSize, m_platform.m_readChunk, available});
        std::copy_n(m_bytes.data() + m_pos, n, data);
        m_pos += n;
        return n;
    }

private:
    FakePlatform& m_platform;
    std::string m_bytes;
    std::int64_t m_pos = 0;
};

// A file of the real file system, counted among the open files while it is open.
class CountedInputFile final : public InputFile
{
public:
    CountedInputFile(FakePlatform& platform, std::unique_ptr<InputFile> file)
        : m_platform(platform)
        , m_file(std::move(file))
    {
        ++m_platform.m_openFiles;
    }
    ~CountedInputFile() override { --m_platform.m_openFiles; }

    std::int64_t read(char* data, std::int64_t maxSize) override { return m_file->read(data, maxSize); }

private:
    FakePlatform& m_platform;
    std::unique_ptr<InputFile> m_file;
};

FakePlatform::FakePlatform()
{
    for (const WD::Control& control : WD::controls()) {
        if (control.box)
            setText(*control.box, std::u16string(control.text));
    }
    m_phraseWrites.clear();
    for (const WD::MenuRow& row : WD::menuTree()) {
        m_captions[row.item] = std::u16string(row.caption);
        m_enabled[row.item] = true;
    }
    m_geometry = {{Geometry::Top, 1200.0f}, {Geometry::Left, 1200.0f}, {Geometry::Width, 13740.0f},
                  {Geometry::Height, 1500.0f}};
}

void FakePlatform::setWordLines(std::initializer_list<std::u16string_view> lines)
{
    std::string bytes;
    for (const std::u16string_view line : lines)
        bytes += toSystemUtf8(line) + '\n';
    setWordList(bytes);
}

void FakePlatform::setPhraseText(const std::u16string& text)
{
    EventSink* const sink = eventSink();
    setEventSink(nullptr);
    setText(Box::Text1, text);
    setEventSink(sink);
    m_phraseWrites.pop_back();
}

void FakePlatform::queueClock(std::initializer_list<float> readings)
{
    m_clockQueue.insert(m_clockQueue.end(), readings);
}

void FakePlatform::setClock(float now, float step)
{
    m_now = now;
    m_step = step;
}

void FakePlatform::queueBits(const std::vector<std::uint64_t>& values)
{
    m_bits.insert(m_bits.end(), values.begin(), values.end());
}

void FakePlatform::queueDraws(std::initializer_list<double> fractions)
{
    for (double fraction : fractions) {
        if (!(fraction >= 0.0 && fraction < 1.0))
            cannotServe("a draw is a fraction of the range, 0 <= f < 1");
        m_bits.push_back(std::uint64_t(std::ldexp(fraction, 64)));
    }
}

void FakePlatform::choose(Item item)
{
    if (m_enabled.at(item) && eventSink())
        eventSink()->choose(item);
}

bool FakePlatform::requestClose()
{
    return !eventSink() || eventSink()->closeRequested();
}

void FakePlatform::showWindow()
{
    m_journal.push_back(u"show");
}

int FakePlatform::runEventLoop()
{
    while (!m_events.empty() && !m_ended) {
        const std::function<void()> event = std::move(m_events.front());
        m_events.pop_front();
        event();
    }
    return 0;
}

std::unique_ptr<InputFile> FakePlatform::openForInput(const std::u16string& path)
{
    // The readers close the list on every way out before anything opens it again.
    if (openFiles() > 0)
        cannotServe("the word list was opened while it was still open");
    if (m_openError != 0 && m_opensBeforeError == 0)
        throw PlatformError{m_openError, u"scripted failure"};
    m_opensBeforeError = std::max(0, m_opensBeforeError - 1);
    if (!m_realFolder.empty())
        return std::make_unique<CountedInputFile>(*this, openFileForInput(path));
    const auto file = m_files.find(path);
    if (file == m_files.end())
        throw PlatformError{ErrorNumber::FileNotFound, u"File not found"};
    return std::make_unique<FakeInputFile>(*this, file->second);
}

void FakePlatform::messageBox(const std::u16string& prompt, MessageIcon icon, const std::u16string& title)
{
    m_messages.push_back({prompt, icon, title, phraseText(), m_clipboard});
    if (m_ended)
        throw ProcessEnd{};
}

void FakePlatform::endProcess(int exitStatus)
{
    m_ended = true;
    m_exitStatus = exitStatus;
    throw ProcessEnd{};
}

float FakePlatform::timeOfDay()
{
    ++m_clockReadings;
    if (!m_clockQueue.empty()) {
        const float reading = m_clockQueue.front();
        m_clockQueue.pop_front();
        return reading;
    }
    const float now = m_now;
    m_now += m_step;
    return now;
}

std::uint64_t FakePlatform::randomBits()
{
    if (!m_bits.empty()) {
        const std::uint64_t value = m_bits.front();
        m_bits.pop_front();
        return value;
    }
    if (!m_bitsFailure.empty())
        throw PlatformError{ErrorNumber::InternalError, m_bitsFailure};
    return systemRandomBits();
}

namespace {

// Runs the next scripted action of `queue`, if any.
void runNext(std::deque<std::function<void()>>& queue)
{
    if (queue.empty())
        return;
    const std::function<void()> action = std::move(queue.front());
    queue.pop_front();
    action();
}

} // namespace

void FakePlatform::pumpEvents()
{
    if (++m_pumps >= int(kEndless))
        cannotServe("a pause that never ends");
    m_journal.push_back(u"pump");
    runNext(m_pumpActions);
    if (m_ended)
        throw ProcessEnd{};
}

void FakePlatform::serveWhileReading()
{
    runNext(m_readActions);
    if (m_ended)
        throw ProcessEnd{};
    // The request is carried out once the command has returned: the test asks for it then.
    if (std::exchange(m_stopRead, false))
        throw PlatformError{ErrorNumber::UserInterrupt, u"User interrupt occurred"};
}

void FakePlatform::showText(Box box, const std::u16string& text)
{
    if (const auto failing = m_failingWrites.find(box); failing != m_failingWrites.end() && failing->second != 0)
        throw PlatformError{failing->second, u"scripted failure"};
    if (box == Box::Text1)
        m_phraseWrites.push_back(text);
}

void FakePlatform::setCaption(Item item, const std::u16string& caption)
{
    m_captions[item] = caption;
    m_journal.push_back(u"caption:" + std::u16string(WD::menuRow(item).name) + u':' + caption);
}

void FakePlatform::setEnabled(Item item, bool enabled)
{
    m_enabled[item] = enabled;
    m_journal.push_back(u"enabled:" + std::u16string(WD::menuRow(item).name) + (enabled ? u":1" : u":0"));
}

void FakePlatform::replaceClipboard(const std::u16string& text)
{
    m_clipboard = text;
    m_clipboardLog.push_back(text);
    m_journal.push_back(u"clipboard:" + text);
}

void FakePlatform::setGeometry(Geometry which, float twips)
{
    if (++m_geometryCalls >= kEndless)
        cannotServe("a closing sequence that never ends");
    if (m_refused[which])
        throw PlatformError{ErrorNumber::WindowNotMovable, u"refused"};
    m_geometryWrites.emplace_back(which, twips);
    if (which == Geometry::Width)
        twips = std::max(twips, m_minWidth);
    if (which == Geometry::Height)
        twips = std::max(twips, m_minHeight);
    if (const auto clamp = m_clamps.find(which); clamp != m_clamps.end())
        twips = std::clamp(twips, clamp->second.first, clamp->second.second);
    m_geometry[which] = twips;
}

void FakePlatform::waitForNextFrame()
{
    m_frameWaits.push_back(m_geometryWrites.size());
    runNext(m_frameActions);
}
