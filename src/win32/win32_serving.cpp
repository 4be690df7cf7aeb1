// SPDX-License-Identifier: MIT
// Message pumping from inside handlers, and the busy window of a long read.
#include "win32/win32_serving.h"

#include "platform/platform.h"

#include <algorithm>
#include <utility>

namespace {

bool isUserInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        || (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_NCMOUSEHOVER
        || message == WM_NCMOUSELEAVE || message == WM_MOUSEHOVER || message == WM_MOUSELEAVE || message == WM_TOUCH
        || (message >= 0x0241 && message <= 0x0257); // the pointer messages
}

// What a user does to close a window, as opposed to anything else done with the mouse or keys.
bool asksToClose(const MSG& message)
{
    return (message.message == WM_NCLBUTTONDOWN && message.wParam == HTCLOSE)
        || (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4);
}

} // namespace

void handleQueuedMessages(UserInput input, bool& ended)
{
    MSG message;
    while (!ended && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ended = true;
            PostQuitMessage(int(message.wParam));
            return;
        }
        if (input == UserInput::Dropped && isUserInput(message.message)) {
            if (asksToClose(message))
                PostMessageW(GetAncestor(message.hwnd, GA_ROOT), WM_CLOSE, 0, 0);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void waitForMessages(std::chrono::milliseconds timeout)
{
    MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(std::max<std::chrono::milliseconds::rep>(timeout.count(), 0)),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

BusyServing::BusyServing(HWND window, bool& ended)
    : m_window(window)
    , m_ended(ended)
{}

void BusyServing::serve()
{
    // Once stopped, the command is on its way back: nothing more is read, nothing more served.
    if (m_stopRequested)
        throw PlatformError{ErrorNumber::UserInterrupt, u"User interrupt occurred"};
    const Clock::time_point now = Clock::now();
    if (!m_inCommand) {
        m_inCommand = true;
        m_lastServed = now;
        return;
    }
    if (now - m_lastServed < kFrame)
        return;
    if (!m_busyPointer) {
        m_busyPointer = true;
        if (pointerOverWindow())
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    }
    m_serving = true;
    handleQueuedMessages(UserInput::Dropped, m_ended);
    m_serving = false;
    m_lastServed = Clock::now();
    if (m_stopRequested)
        throw PlatformError{ErrorNumber::UserInterrupt, u"User interrupt occurred"};
}

bool BusyServing::pointerOverWindow() const
{
    POINT point;
    return GetCursorPos(&point) && GetAncestor(WindowFromPoint(point), GA_ROOT) == m_window;
}

bool BusyServing::commandEnded()
{
    if (!m_inCommand)
        return false;
    m_inCommand = false;
    if (m_busyPointer) {
        m_busyPointer = false;
        // The pointer comes back at once, not at its next move.
        if (pointerOverWindow())
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
    return std::exchange(m_stopRequested, false);
}
