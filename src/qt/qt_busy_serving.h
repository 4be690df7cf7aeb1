// SPDX-License-Identifier: MIT
// The window while a command reads the word list: served about once a frame, busy pointer on,
// user input thrown away, and a request to close or end held until the command has stopped.
#pragma once

#include "platform/platform.h"

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
    // once, with the busy pointer shown, input thrown away and menu commands not run.
    void serve();
    // Whether the event loop runs inside serve() now.
    bool serving() const { return m_serving; }
    // Carries out `request` (a close, an end) now, or, when it comes while a command reads with
    // the window shown, stops the read and carries it out once the command has returned to the
    // event loop. The first request of a read is kept.
    void whenStopped(std::function<void()> request);

    // `sink` as the window hands its events on: a menu command that comes while a command
    // reads (through accessibility, which no input filter sees) is dropped, so that no handler
    // runs inside another. Null for null.
    EventSink* guard(EventSink* sink);

    static constexpr std::chrono::milliseconds kFrame{16};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    class GuardedSink final : public EventSink
    {
    public:
        explicit GuardedSink(const BusyServing& busy)
            : m_busy(busy)
        {
        }
        void setTarget(EventSink* target) { m_target = target; }
        void run(Handler handler) override
        {
            if (!m_busy.serving())
                m_target->run(handler);
        }
        void phraseChanged() override { m_target->phraseChanged(); }
        bool closeRequested() override { return m_target->closeRequested(); }

    private:
        const BusyServing& m_busy;
        EventSink* m_target = nullptr;
    };

    using Clock = std::chrono::steady_clock;
    void postCommandCheck();

    GuardedSink m_sink{*this};

    QWidget& m_window;
    bool m_inCommand = false; // a command has read since the event loop last ran on its own
    bool m_serving = false;
    bool m_busyPointer = false;
    bool m_stopping = false; // the read was stopped; m_request waits for the command to return
    std::function<void()> m_request;
    Clock::time_point m_lastServed;
};
