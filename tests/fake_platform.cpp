// SPDX-License-Identifier: MIT
// The in-memory platform.
#include "fake_platform.h"

#include "ui/file_input.h"
#include "ui/simple_case.h"
#include "ui/system_random.h"
#include "ui/window_description.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace WD = WindowDescription;

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

FakePlatform::FakePlatform()
{
    for (const WD::Control& control : WD::controls())
        m_texts.insert(QString::fromUtf16(control.name), QString::fromUtf16(control.text));
    for (const WD::MenuRow& row : WD::menuTree()) {
        const QString name = QString::fromUtf16(row.name);
        m_captions.insert(name, QString::fromUtf16(row.caption));
        m_enabled.insert(name, true);
        m_commands.insert(name, row.kind == WD::MenuKind::Command || row.kind == WD::MenuKind::BarCommand);
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
            throw std::logic_error("a draw is a fraction of the range, 0 <= f < 1");
        m_bits.enqueue(quint64(std::ldexp(fraction, 64)));
    }
}

void FakePlatform::choose(const QString& item)
{
    checkItem(item);
    if (m_commands.value(item) && m_enabled.value(item) && m_sink)
        m_sink->raise(item, EventKind::Click);
}

qint16 FakePlatform::requestClose()
{
    qint16 cancel = 0;
    if (m_sink)
        m_sink->raise(QStringLiteral("Form1"), EventKind::Unload, &cancel);
    return cancel;
}

std::unique_ptr<InputFile> FakePlatform::openForInput(const QString& path, int fileNumber)
{
    if (fileNumber != 1)
        throw std::logic_error("the word list always uses file number 1");
    if (m_openFiles > 0)
        throw PlatformError{ErrorNumber::FileAlreadyOpen, QStringLiteral("File already open")};
    if (m_openError != 0 && m_opensBeforeError == 0)
        throw PlatformError{m_openError, QStringLiteral("scripted failure")};
    m_opensBeforeError = std::max(0, m_opensBeforeError - 1);
    if (!m_realFolder.isEmpty())
        return openFileForInput(path, m_realFileOpen);
    const auto file = m_files.constFind(path);
    if (file == m_files.cend())
        throw PlatformError{ErrorNumber::FileNotFound, QStringLiteral("File not found")};
    return std::make_unique<FakeInputFile>(*this, *file);
}

void FakePlatform::messageBox(const QString& prompt, int buttons, const QString& title)
{
    m_messages.append({prompt, buttons, title, phraseText(), m_clipboard});
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

QString FakePlatform::upperCase(const QString& text)
{
    return simpleUpperCase(text);
}

QString FakePlatform::lowerCase(const QString& text)
{
    return simpleLowerCase(text);
}

QString FakePlatform::text(const QString& box)
{
    if (!m_texts.contains(box))
        throw std::logic_error("no such text box");
    return m_texts.value(box);
}

void FakePlatform::setText(const QString& box, const QString& text)
{
    if (!m_texts.contains(box) || box == u"Combo1")
        throw std::logic_error("no such text box");
    if (const int number = m_failingWrites.value(box))
        throw PlatformError{number, QStringLiteral("scripted failure")};
    m_texts[box] = text;
    if (box == u"Text1") {
        m_phraseWrites.append(text);
        if (m_sink)
            m_sink->raise(box, EventKind::Change);
    }
}

void FakePlatform::checkItem(const QString& item) const
{
    if (!m_captions.contains(item))
        throw std::logic_error("no such menu item");
}

void FakePlatform::setCaption(const QString& item, const QString& caption)
{
    checkItem(item);
    m_captions[item] = caption;
    m_journal.append(QStringLiteral("caption:") + item + u':' + caption);
}

void FakePlatform::setEnabled(const QString& item, bool enabled)
{
    checkItem(item);
    m_enabled[item] = enabled;
    m_journal.append(QStringLiteral("enabled:") + item + (enabled ? QStringLiteral(":1") : QStringLiteral(":0")));
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
        throw PlatformError{384, QStringLiteral("refused")};
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
