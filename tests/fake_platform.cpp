// SPDX-License-Identifier: MIT
// The in-memory platform.
#include "fake_platform.h"

#include "platform/file_input.h"
#include "platform/system_random.h"
#include "ui/window_description.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <utility>

namespace WD = WindowDescription;

namespace {

// Thrown where the double is asked for what it cannot serve. It is no std::exception, so the
// window object's guard lets it through, and Qt Test fails the test with the message below.
struct DoubleCannotServe
{
};

[[noreturn]] void cannotServe(const char* what)
{
    QTest::qFail(what, __FILE__, __LINE__);
    throw DoubleCannotServe{};
}

} // namespace

class FakeInputFile final : public InputFile
{
public:
    FakeInputFile(FakePlatform& platform, QByteArray bytes)
        : m_platform(platform)
        , m_bytes(std::move(bytes))
    {
        ++m_platform.m_openFiles;
    }
    ~FakeInputFile() override { --m_platform.m_openFiles; }

    qint64 read(char* data, qint64 maxSize) override
    {
        qint64 available = qint64(m_bytes.size()) - m_pos;
        if (m_platform.m_failReadsAfter >= 0) {
            if (m_pos >= m_platform.m_failReadsAfter)
                throw PlatformError{ErrorNumber::DeviceIo, QStringLiteral("Device I/O error")};
            available = std::min(available, m_platform.m_failReadsAfter - m_pos);
        }
        const qint64 n = std::min({maxSize, m_platform.m_readChunk, available});
        std::copy_n(m_bytes.constData() + m_pos, n, data);
        m_pos += n;
        return n;
    }

private:
    FakePlatform& m_platform;
    QByteArray m_bytes;
    qint64 m_pos = 0;
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

    qint64 read(char* data, qint64 maxSize) override { return m_file->read(data, maxSize); }

private:
    FakePlatform& m_platform;
    std::unique_ptr<InputFile> m_file;
};

FakePlatform::FakePlatform()
{
    for (const WD::Control& control : WD::controls()) {
        if (control.box)
            m_texts[std::size_t(*control.box)] = QString::fromUtf16(control.text);
    }
    for (const WD::MenuRow& row : WD::menuTree()) {
        m_captions[row.item] = QString::fromUtf16(row.caption);
        m_enabled[row.item] = true;
    }
    m_geometry = {{Geometry::Top, 1200.0f}, {Geometry::Left, 1200.0f}, {Geometry::Width, 13740.0f},
                  {Geometry::Height, 1500.0f}};
}

void FakePlatform::setWordLines(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + '\n';
    setWordList(bytes);
}

void FakePlatform::queueClock(std::initializer_list<float> readings)
{
    for (float reading : readings)
        m_clockQueue.enqueue(reading);
}

void FakePlatform::setClock(float now, float step)
{
    m_now = now;
    m_step = step;
}

void FakePlatform::queueDraws(std::initializer_list<double> fractions)
{
    for (double fraction : fractions) {
        if (!(fraction >= 0.0 && fraction < 1.0))
            cannotServe("a draw is a fraction of the range, 0 <= f < 1");
        m_bits.enqueue(quint64(std::ldexp(fraction, 64)));
    }
}

void FakePlatform::choose(Item item)
{
    const Handler handler = WD::menuRow(item).handler;
    if (handler && m_enabled.at(item) && m_sink)
        m_sink->run(handler);
}

bool FakePlatform::requestClose()
{
    return !m_sink || m_sink->closeRequested();
}

std::unique_ptr<InputFile> FakePlatform::openForInput(const QString& path)
{
    // The readers close the list on every way out before anything opens it again.
    if (openFiles() > 0)
        cannotServe("the word list was opened while it was still open");
    if (m_openError != 0 && m_opensBeforeError == 0)
        throw PlatformError{m_openError, QStringLiteral("scripted failure")};
    m_opensBeforeError = std::max(0, m_opensBeforeError - 1);
    if (!m_realFolder.isEmpty())
        return std::make_unique<CountedInputFile>(*this, openFileForInput(path));
    const auto file = m_files.constFind(path);
    if (file == m_files.cend())
        throw PlatformError{ErrorNumber::FileNotFound, QStringLiteral("File not found")};
    return std::make_unique<FakeInputFile>(*this, *file);
}

void FakePlatform::messageBox(const QString& prompt, MessageButtons buttons, MessageIcon icon, const QString& title)
{
    m_messages.append({prompt, buttons, icon, title, phraseText(), m_clipboard});
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
    if (!m_clockQueue.isEmpty())
        return m_clockQueue.dequeue();
    const float now = m_now;
    m_now += m_step;
    return now;
}

quint64 FakePlatform::randomBits()
{
    if (!m_bits.isEmpty())
        return m_bits.dequeue();
    if (!m_bitsFailure.isEmpty())
        throw PlatformError{ErrorNumber::InternalError, m_bitsFailure};
    return systemRandomBits();
}

void FakePlatform::pumpEvents()
{
    ++m_pumps;
    m_journal.append(QStringLiteral("pump"));
    if (!m_pumpActions.isEmpty())
        m_pumpActions.dequeue()();
    if (m_ended)
        throw ProcessEnd{};
}

void FakePlatform::serveWhileReading()
{
    ++m_readServices;
    if (!m_readActions.isEmpty())
        m_readActions.dequeue()();
    if (m_ended)
        throw ProcessEnd{};
    // The request is carried out once the command has returned: the test asks for it then.
    if (std::exchange(m_stopRead, false))
        throw PlatformError{ErrorNumber::UserInterrupt, QStringLiteral("User interrupt occurred")};
}

void FakePlatform::setText(Box box, const QString& text)
{
    if (const auto failing = m_failingWrites.find(box); failing != m_failingWrites.end() && failing->second != 0)
        throw PlatformError{failing->second, QStringLiteral("scripted failure")};
    m_texts[std::size_t(box)] = text;
    if (box == Box::Text1) {
        m_phraseWrites.append(text);
        if (m_sink)
            m_sink->phraseChanged();
    }
}

void FakePlatform::setCaption(Item item, const QString& caption)
{
    m_captions[item] = caption;
    m_journal.append(QStringLiteral("caption:") + QString::fromUtf16(WD::menuRow(item).name) + u':' + caption);
}

void FakePlatform::setEnabled(Item item, bool enabled)
{
    m_enabled[item] = enabled;
    m_journal.append(QStringLiteral("enabled:") + QString::fromUtf16(WD::menuRow(item).name)
                     + (enabled ? QStringLiteral(":1") : QStringLiteral(":0")));
}

void FakePlatform::replaceClipboard(const QString& text)
{
    m_clipboard = text;
    m_clipboardLog.append(text);
    m_journal.append(QStringLiteral("clipboard:") + text);
}

void FakePlatform::setGeometry(Geometry which, float twips)
{
    if (m_refused[which])
        throw PlatformError{ErrorNumber::WindowNotMovable, QStringLiteral("refused")};
    m_geometryWrites.append({which, twips});
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
    m_frameWaits.append(m_geometryWrites.size());
    if (!m_frameActions.isEmpty())
        m_frameActions.dequeue()();
}
