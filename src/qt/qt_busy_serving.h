// SPDX-License-Identifier: MIT
// The window while a command reads the word list: served about once a frame, busy pointer on,
// user input thrown away, and a request to close or end held until the command has stopped.
#pragma once

#include <QEvent>
#include <QObject>

#include <chrono>
#include <functional>

class QWidget;

// Mouse, keys, touch, tablet, drag and drop: what a user does to a window, as opposed to what
// the window system asks of it.
bool isUserInput(QEvent::Type type);

class BusyServing final : public QObject
{
public:
    explicit BusyServing(QWidget& window);
    ~BusyServing() override;
    BusyServing(const BusyServing&) = delete;
    BusyServing& operator=(const BusyServing&) = delete;

    // Platform::serveWhileReading on the window. The first call of a command only notes the
    // time; a later one that comes a frame or more after the last service runs the event loop
    // once, with the busy pointer shown and input thrown away.
    void serve();
    // Whether the event loop runs inside serve() now. A menu command that comes meanwhile
    // (through accessibility, which no input filter sees) must not run: no handler runs inside
    // another.
    bool serving() const { return m_serving; }
    // Carries out `request` (a close, an end) now, or, when it comes while a command reads with
    // the window shown, stops the read and carries it out once the command has returned to the
    // event loop. The first request of a read is kept.
    void whenStopped(std::function<void()> request);

    static constexpr std::chrono::milliseconds kFrame{16};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    using Clock = std::chrono::steady_clock;
    void postCommandCheck();

    QWidget& m_window;
    bool m_inCommand = false; // a command has read since the event loop last ran on its own
    bool m_serving = false;
    bool m_busyPointer = false;
    bool m_stopping = false; // the read was stopped; m_request waits for the command to return
    std::function<void()> m_request;
    Clock::time_point m_lastServed;
};
