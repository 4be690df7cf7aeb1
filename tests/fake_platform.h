// SPDX-License-Identifier: MIT
// An in-memory platform for the logic's tests: it records what a user could see (box texts,
// captions, clipboard, messages, the end of the process) and replays a script (word-list
// bytes, clock readings, random bits, events that arrive while a command pumps). What it cannot
// serve fails the running test at once.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

class FakePlatform final : public Platform
{
public:
    struct Message
    {
        std::u16string prompt;
        MessageIcon icon = MessageIcon::Exclamation;
        std::u16string title;
        std::u16string phraseBox; // what the phrase box and the clipboard held while the box was up
        std::u16string clipboard;
    };

    FakePlatform();

    // --- Script --------------------------------------------------------------------------------
    static std::u16string fakeFolder() { return u"/fake/lexitrove"; }
    std::u16string folder() const { return m_realFolder.empty() ? fakeFolder() : m_realFolder; }
    void setWordList(std::string bytes) { m_files[folder() + u"/Words.TxT"] = std::move(bytes); }
    void setWordLines(std::initializer_list<std::u16string_view> lines); // LF after each line, UTF-8
    void removeWordList() { m_files.erase(folder() + u"/Words.TxT"); }
    // From now on the word list is read from `folder` on the real file system.
    void useRealFolder(const std::u16string& folder) { m_realFolder = folder; }
    // After `opensFirst` more opens that succeed, opens fail with this error number (0: they
    // succeed again).
    void setOpenError(int number, int opensFirst = 0)
    {
        m_openError = number;
        m_opensBeforeError = opensFirst;
    }
    // Reads fail with error 57 once this many bytes of the file have been handed out (-1: never).
    void failReadsAfter(std::int64_t bytes) { m_failReadsAfter = bytes; }
    // Reads hand out at most this many bytes, to cross block boundaries in tests.
    void setReadChunk(std::int64_t bytes) { m_readChunk = bytes; }
    // Readings of the clock: scripted ones first, then `now`, advanced by `step` per reading.
    void queueClock(std::initializer_list<float> readings);
    void setClock(float now, float step = 0.0f);
    // Random bits: scripted values first, then the system's random source, or the failure.
    void queueBits(const std::vector<std::uint64_t>& values);
    // The values at these fractions of the 64-bit range: a fraction f of a list of n items
    // draws item floor(f * n) + 1 unless f lies within 2^-32 of a band's edge.
    void queueDraws(std::initializer_list<double> fractions);
    // Once the scripted values are used up, the random source fails with this reason (empty:
    // it works again).
    void failRandomBits(const std::u16string& reason) { m_bitsFailure = reason; }
    // Runs at the next pumps, one action per pump, as if the user acted meanwhile.
    void queueDuringPump(std::function<void()> action) { m_pumpActions.push_back(std::move(action)); }
    // Runs at the next services of the window system during a read, one action per service.
    void queueDuringRead(std::function<void()> action) { m_readActions.push_back(std::move(action)); }
    // As the desktop asking the window to close during a read: the read under way stops.
    void askToCloseDuringRead() { m_stopRead = true; }
    // Runs at the next waits between two passes of the closing sequence, one action per wait,
    // as if events came through meanwhile.
    void queueDuringFrame(std::function<void()> action) { m_frameActions.push_back(std::move(action)); }
    // What the user does once the window is shown, one action after another, until the process
    // ends; then the event loop returns.
    void queueEvent(std::function<void()> action) { m_events.push_back(std::move(action)); }
    // Writes of `box` throw PlatformError `number` (0: they succeed again).
    void failWrites(Box box, int number) { m_failingWrites[box] = number; }
    void setPhraseText(const std::u16string& text); // raises no event
    void setGeometryValue(Geometry which, float twips) { m_geometry[which] = twips; }
    void setScreenWidth(float twips) { m_screenWidth = twips; }
    // When set, writes of that geometry value throw PlatformError.
    void refuseGeometry(Geometry which, bool refuse = true) { m_refused[which] = refuse; }
    // The window's smallest outer width and height, in twips.
    void setMinimumSize(float width, float height)
    {
        m_minWidth = width;
        m_minHeight = height;
    }
    // Writes of that geometry value are accepted but kept within [lowest, highest], as a window
    // system does that holds a window in place or at the edge of the desktop.
    void clampGeometry(Geometry which, float lowest, float highest) { m_clamps[which] = {lowest, highest}; }

    // --- What a user does ----------------------------------------------------------------------
    // Chooses a menu item, unless it is disabled: the window object runs its handler, if any.
    void choose(Item item);
    // Asks the window to close; returns whether the window may close.
    bool requestClose();

    // --- What a user sees ----------------------------------------------------------------------
    const std::u16string& phraseText() const { return text(Box::Text1); }
    const std::u16string& boxText(Box box) const { return text(box); }
    const std::u16string& caption(Item item) const { return m_captions.at(item); }
    bool isEnabled(Item item) const { return m_enabled.at(item); }
    const std::u16string& clipboard() const { return m_clipboard; }
    // Every text put on the clipboard, in order.
    const std::vector<std::u16string>& clipboardLog() const { return m_clipboardLog; }
    // Every text written to Text1, in order.
    const std::vector<std::u16string>& phraseWrites() const { return m_phraseWrites; }
    // Menu-item writes, clipboard operations, pumps and the program's life, interleaved in the
    // order they happened: "enabled:Ct1:0", "caption:Ct1:Text Copied", "clipboard:" and the
    // text, "pump", "show", "leave clipboard".
    const std::vector<std::u16string>& journal() const { return m_journal; }
    const std::vector<Message>& messages() const { return m_messages; }
    int openFiles() const { return m_openFiles; }
    std::size_t queuedBits() const { return m_bits.size(); }
    int pumps() const { return m_pumps; }
    int clockReadings() const { return m_clockReadings; }
    float geometryValue(Geometry which) const { return m_geometry.at(which); }
    // Every geometry write in order, as (which, twips).
    const std::vector<std::pair<Geometry, float>>& geometryWrites() const { return m_geometryWrites; }
    // For each wait for the next frame, how many geometry writes came before it.
    const std::vector<std::size_t>& frameWaits() const { return m_frameWaits; }

    // --- Platform ------------------------------------------------------------------------------
    void showWindow() override;
    int runEventLoop() override;
    void leaveClipboard() override { m_journal.push_back(u"leave clipboard"); }
    std::u16string applicationFolder() override { return folder(); }
    std::unique_ptr<InputFile> openForInput(const std::u16string& path) override;
    void messageBox(const std::u16string& prompt, MessageIcon icon, const std::u16string& title) override;
    [[noreturn]] void endProcess(int exitStatus) override;
    bool hasEnded() const override { return m_ended; }
    int exitStatus() const override { return m_exitStatus; }
    float timeOfDay() override;
    std::uint64_t randomBits() override;
    void pumpEvents() override;
    void serveWhileReading() override;
    void setCaption(Item item, const std::u16string& caption) override;
    void setEnabled(Item item, bool enabled) override;
    void replaceClipboard(const std::u16string& text) override;
    float geometry(Geometry which) override { return m_geometry.at(which); }
    void setGeometry(Geometry which, float twips) override;
    float screenWidth() override { return m_screenWidth; }
    void waitForNextFrame() override;

protected:
    void showText(Box box, const std::u16string& text) override;

private:
    friend class FakeInputFile;
    friend class CountedInputFile;

    std::map<std::u16string, std::string> m_files;
    std::u16string m_realFolder;
    int m_openError = 0;
    int m_opensBeforeError = 0;
    std::int64_t m_readChunk = 1 << 20;
    std::int64_t m_failReadsAfter = -1;
    int m_openFiles = 0;
    std::vector<Message> m_messages;
    bool m_ended = false;
    int m_exitStatus = -1;
    std::deque<float> m_clockQueue;
    float m_now = 0.0f;
    float m_step = 0.0f;
    int m_clockReadings = 0;
    std::deque<std::uint64_t> m_bits;
    std::u16string m_bitsFailure;
    std::deque<std::function<void()>> m_pumpActions;
    std::deque<std::function<void()>> m_frameActions;
    std::deque<std::function<void()>> m_readActions;
    std::deque<std::function<void()>> m_events;
    bool m_stopRead = false;
    std::vector<std::size_t> m_frameWaits;
    int m_pumps = 0;
    std::vector<std::u16string> m_phraseWrites;
    std::map<Box, int> m_failingWrites;
    std::map<Item, std::u16string> m_captions;
    std::map<Item, bool> m_enabled;
    std::u16string m_clipboard;
    std::vector<std::u16string> m_clipboardLog;
    std::vector<std::u16string> m_journal;
    std::map<Geometry, float> m_geometry;
    std::map<Geometry, bool> m_refused;
    std::vector<std::pair<Geometry, float>> m_geometryWrites;
    std::size_t m_geometryCalls = 0; // refused ones too
    float m_screenWidth = 28800.0f;
    float m_minWidth = 0.0f;
    float m_minHeight = 0.0f;
    std::map<Geometry, std::pair<float, float>> m_clamps;
};

// UTF-8 for failure messages: GoogleTest prints std::string, not std::u16string.
std::string utf8(std::u16string_view text);
