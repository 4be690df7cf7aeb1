// SPDX-License-Identifier: MIT
// Serving the window system from inside a handler: the Copy Text pause, the closing animation
// and long reads of the word list answer repaints and other programs' requests meanwhile, by
// waiting for messages rather than spinning.
#pragma once

#include <windows.h>

#include <chrono>

enum class UserInput { Handled, Dropped };

// Handles the messages queued now, then returns; stops early once `ended` is set (the process
// was ended by one of them). With UserInput::Dropped, the mouse and keys are not acted on and
// their messages are thrown away, except that a click on the close box or Alt+F4 still asks the
// window to close. A WM_QUIT met here, which another program may post, ends the process as a
// signal does on Linux: `ended` is set, and the message is posted again for the event loop.
void handleQueuedMessages(UserInput input, bool& ended);

// Sleeps until a message arrives or `timeout` has passed.
void waitForMessages(std::chrono::milliseconds timeout);

// The window while a command reads the word list.
class BusyServing
{
public:
    // `ended`: the platform's flag that the process was ended.
    BusyServing(HWND window, bool& ended);

    // Platform::serveWhileReading. The first call of a command only notes the time; a later one
    // that comes a frame or more after the last service handles the queued messages, with the
    // busy pointer shown and user input dropped. Throws PlatformError 18 once a close was asked
    // for meanwhile, and at every call after that until the command has returned.
    void serve();
    // Whether the messages are being handled from inside serve() now: a command is reading.
    bool serving() const { return m_serving; }
    bool showsBusyPointer() const { return m_busyPointer; }
    // A close asked for during serve(): the read stops, and the close waits for the command.
    void requestStop() { m_stopRequested = true; }
    // The handler of an event has returned, so any command that read is over. Returns whether a
    // close was asked for while it read, which is now to be carried out.
    bool commandEnded();

    static constexpr std::chrono::milliseconds kFrame{16};

private:
    using Clock = std::chrono::steady_clock;
    bool pointerOverWindow() const;

    HWND m_window;
    bool& m_ended;
    bool m_inCommand = false; // a read began since the last event's handler returned
    bool m_serving = false;
    bool m_busyPointer = false;
    bool m_stopRequested = false;
    Clock::time_point m_lastServed;
};
