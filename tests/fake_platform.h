// SPDX-License-Identifier: MIT
// An in-memory platform for the logic's tests: it records what a user could see (box texts,
// captions, clipboard, messages, the end of the process) and replays a script (word-list
// bytes, clock readings, random bits, events that arrive while a command pumps). What it cannot
// serve fails the running test at once.
#pragma once

#include "platform/platform.h"

#include <QByteArray>
#include <QMetaType>
#include <QHash>
#include <QList>
#include <QQueue>
#include <QString>

#include <array>
#include <functional>
#include <map>

class FakePlatform final : public Platform
{
public:
    struct Message
    {
        QString prompt;
        MessageButtons buttons = MessageButtons::Ok;
        MessageIcon icon = MessageIcon::Exclamation;
        QString title;
        QString phraseBox; // what the phrase box and the clipboard held while the box was up
        QString clipboard;
    };

    FakePlatform();

    // --- Script --------------------------------------------------------------------------------
    static QString fakeFolder() { return QStringLiteral("/fake/lexitrove"); }
    QString folder() const { return m_realFolder.isEmpty() ? fakeFolder() : m_realFolder; }
    void setWordList(const QByteArray& bytes) { m_files[folder() + QStringLiteral("/Words.TxT")] = bytes; }
    void setWordLines(const QStringList& lines); // LF after each line, UTF-8
    void removeWordList() { m_files.remove(folder() + QStringLiteral("/Words.TxT")); }
    // From now on the word list is read from `folder` on the real file system.
    void useRealFolder(const QString& folder) { m_realFolder = folder; }
    // After `opensFirst` more opens that succeed, opens fail with this error number (0: they
    // succeed again).
    void setOpenError(int number, int opensFirst = 0)
    {
        m_openError = number;
        m_opensBeforeError = opensFirst;
    }
    // Reads fail with error 57 once this many bytes of the file have been handed out (-1: never).
    void failReadsAfter(qint64 bytes) { m_failReadsAfter = bytes; }
    // Reads hand out at most this many bytes, to cross block boundaries in tests.
    void setReadChunk(qint64 bytes) { m_readChunk = bytes; }
    // Readings of the clock: scripted ones first, then `now`, advanced by `step` per reading.
    void queueClock(std::initializer_list<float> readings);
    void setClock(float now, float step = 0.0f);
    // Random bits: scripted values first, then the system's random source, or the failure.
    void queueBits(const QList<quint64>& values) { m_bits.append(values); }
    // The values at these fractions of the 64-bit range: a fraction f of a list of n items
    // draws item floor(f * n) + 1 unless f lies within 2^-32 of a band's edge.
    void queueDraws(std::initializer_list<double> fractions);
    // Once the scripted values are used up, the random source fails with this reason (empty:
    // it works again).
    void failRandomBits(const QString& reason) { m_bitsFailure = reason; }
    // Runs at the next pumps, one action per pump, as if the user acted meanwhile.
    void queueDuringPump(std::function<void()> action) { m_pumpActions.enqueue(std::move(action)); }
    // Runs at the next services of the window system during a read, one action per service.
    void queueDuringRead(std::function<void()> action) { m_readActions.enqueue(std::move(action)); }
    // As the desktop asking the window to close during a read: the read under way stops.
    void askToCloseDuringRead() { m_stopRead = true; }
    // Runs at the next waits between two passes of the closing sequence, one action per wait,
    // as if events came through meanwhile.
    void queueDuringFrame(std::function<void()> action) { m_frameActions.enqueue(std::move(action)); }
    // Writes of `box` throw PlatformError `number` (0: they succeed again).
    void failWrites(Box box, int number) { m_failingWrites[box] = number; }
    void setPhraseText(const QString& text) { m_texts[std::size_t(Box::Text1)] = text; } // no event
    void setGeometryValue(Geometry which, float twips) { m_geometry[which] = twips; }
    void setScreenWidth(float twips) { m_screenWidth = twips; }
    // When set, writes of that geometry value throw PlatformError.
    void refuseGeometry(Geometry which, bool refuse = true) { m_refused[which] = refuse; }
    // The window's smallest outer width and height, in twips.
    void setMinimumSize(float width, float height) { m_minWidth = width; m_minHeight = height; }
    // Writes of that geometry value are accepted but kept within [lowest, highest], as a window
    // system does that holds a window in place or at the edge of the desktop.
    void clampGeometry(Geometry which, float lowest, float highest) { m_clamps[which] = {lowest, highest}; }

    // --- What a user does ----------------------------------------------------------------------
    // Chooses a menu item: runs its row's handler through the window object, unless the item is
    // disabled or has none.
    void choose(Item item);
    // Asks the window to close; returns whether the window may close.
    bool requestClose();

    // --- What a user sees ----------------------------------------------------------------------
    QString phraseText() const { return boxText(Box::Text1); }
    QString boxText(Box box) const { return m_texts[std::size_t(box)]; }
    QString caption(Item item) const { return m_captions.at(item); }
    bool isEnabled(Item item) const { return m_enabled.at(item); }
    QString clipboard() const { return m_clipboard; }
    // Every text put on the clipboard, in order.
    const QStringList& clipboardLog() const { return m_clipboardLog; }
    // Every text written to Text1, in order.
    const QStringList& phraseWrites() const { return m_phraseWrites; }
    // Menu-item writes, clipboard operations and pumps, interleaved in the order they happened:
    // "enabled:Ct1:0", "caption:Ct1:Text Copied", "clipboard:" and the text, "pump".
    const QStringList& journal() const { return m_journal; }
    const QList<Message>& messages() const { return m_messages; }
    int exitStatus() const { return m_exitStatus; }
    int openFiles() const { return m_openFiles; }
    qsizetype queuedBits() const { return m_bits.size(); }
    int pumps() const { return m_pumps; }
    int readServices() const { return m_readServices; }
    int clockReadings() const { return m_clockReadings; }
    float geometryValue(Geometry which) const { return m_geometry.at(which); }
    // Every geometry write in order, as (which, twips).
    const QList<std::pair<Geometry, float>>& geometryWrites() const { return m_geometryWrites; }
    // For each wait for the next frame, how many geometry writes came before it.
    const QList<qsizetype>& frameWaits() const { return m_frameWaits; }

    // --- Platform ------------------------------------------------------------------------------
    void setEventSink(EventSink* sink) override { m_sink = sink; }
    QString applicationFolder() override { return folder(); }
    std::unique_ptr<InputFile> openForInput(const QString& path) override;
    void messageBox(const QString& prompt, MessageButtons buttons, MessageIcon icon, const QString& title) override;
    [[noreturn]] void endProcess(int exitStatus) override;
    bool hasEnded() const override { return m_ended; }
    float timeOfDay() override;
    quint64 randomBits() override;
    void pumpEvents() override;
    void serveWhileReading() override;
    QString text(Box box) override { return boxText(box); }
    void setText(Box box, const QString& text) override;
    void setCaption(Item item, const QString& caption) override;
    void setEnabled(Item item, bool enabled) override;
    void replaceClipboard(const QString& text) override;
    float geometry(Geometry which) override { return m_geometry.at(which); }
    void setGeometry(Geometry which, float twips) override;
    float screenWidth() override { return m_screenWidth; }
    void waitForNextFrame() override;

private:
    friend class FakeInputFile;
    friend class CountedInputFile;

    EventSink* m_sink = nullptr;
    QHash<QString, QByteArray> m_files;
    QString m_realFolder;
    int m_openError = 0;
    int m_opensBeforeError = 0;
    qint64 m_readChunk = 1 << 20;
    qint64 m_failReadsAfter = -1;
    int m_openFiles = 0;
    QList<Message> m_messages;
    bool m_ended = false;
    int m_exitStatus = -1;
    QQueue<float> m_clockQueue;
    float m_now = 0.0f;
    float m_step = 0.0f;
    int m_clockReadings = 0;
    QQueue<quint64> m_bits;
    QString m_bitsFailure;
    QQueue<std::function<void()>> m_pumpActions;
    QQueue<std::function<void()>> m_frameActions;
    QQueue<std::function<void()>> m_readActions;
    bool m_stopRead = false;
    int m_readServices = 0;
    QList<qsizetype> m_frameWaits;
    int m_pumps = 0;
    std::array<QString, 3> m_texts; // by Box
    QStringList m_phraseWrites;
    std::map<Box, int> m_failingWrites;
    std::map<Item, QString> m_captions;
    std::map<Item, bool> m_enabled;
    QString m_clipboard;
    QStringList m_clipboardLog;
    QStringList m_journal;
    std::map<Geometry, float> m_geometry;
    std::map<Geometry, bool> m_refused;
    QList<std::pair<Geometry, float>> m_geometryWrites;
    float m_screenWidth = 28800.0f;
    float m_minWidth = 0.0f;
    float m_minHeight = 0.0f;
    std::map<Geometry, std::pair<float, float>> m_clamps;
};

// Menu items and boxes as columns of data-driven tests.
Q_DECLARE_METATYPE(Item)
Q_DECLARE_METATYPE(Box)
