// SPDX-License-Identifier: MIT
// The Windows API behind the platform seam, and the window's events on their way to the logic.
#include "win32/win32_platform.h"

#include "system/file_input.h"
#include "system/program_folder.h"
#include "system/system_error_win32.h"
#include "system/system_random.h"
#include "ui/window_description.h"

#include <type_traits>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

namespace {

const wchar_t* wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

} // namespace

Win32Platform::Win32Platform(HINSTANCE instance, int showCommand)
    : m_window(instance, windowProcedure, m_menu)
    , m_clipboard(m_window.handle())
    , m_motion(m_window.handle(), m_ended)
    , m_busy(m_window.handle(), m_ended)
    , m_showCommand(showCommand)
{
    SetWindowLongPtrW(m_window.handle(), GWLP_USERDATA, LONG_PTR(this));
    // The boxes' texts as the window description starts them; no sink yet, so no event.
    for (const WindowDescription::Control& row : WindowDescription::controls()) {
        if (row.box)
            setText(*row.box, std::u16string(row.text));
    }
}

Win32Platform::~Win32Platform()
{
    // The window's last messages, as it is destroyed, find no platform to go to.
    SetWindowLongPtrW(m_window.handle(), GWLP_USERDATA, 0);
}

LRESULT CALLBACK Win32Platform::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (auto* platform = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
        return platform->handle(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Platform::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // From the menu (no control, no accelerator); the boxes' notifications mean nothing here.
        if (lParam == 0 && HIWORD(wParam) == 0) {
            menuCommand(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_CLOSE: closeRequested(); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            endSession();
        return 0;
    case WM_SETCURSOR:
        if (m_busy.showsBusyPointer()) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_DPICHANGED: m_window.moveToDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

template <typename Call>
auto Win32Platform::asEvent(Call call)
{
    ++m_depth;
    if constexpr (std::is_void_v<decltype(call())>) {
        call();
        eventReturned();
    } else {
        auto result = call();
        eventReturned();
        return result;
    }
}

void Win32Platform::eventReturned()
{
    --m_depth;
    readEnded();
    if (m_depth > 0)
        return;
    m_clipboard.flush();
    // Once the program has ended, leaveClipboard says it, when no message box can be cut short.
    if (!m_ended)
        tellRefusedClipboard(u"Choose Copy Text to put it there.");
}

void Win32Platform::readEnded()
{
    // A close asked for while the command read: now that the command has returned, the window
    // closes as usual, with no handler run inside another.
    if (m_busy.commandEnded())
        PostMessageW(m_window.handle(), WM_CLOSE, 0, 0);
}

void Win32Platform::menuCommand(WORD commandId)
{
    const std::optional<Item> item = m_menu.itemFor(commandId);
    // A greyed item raises nothing, also when another program posts its command; nor does any
    // item while a command reads, a message box waits or the window closes.
    if (!item || !m_menu.enabled(*item) || m_busy.serving() || m_modal > 0 || m_closing || m_ended)
        return;
    if (EventSink* sink = eventSink())
        asEvent([&] { sink->choose(*item); });
}

void Win32Platform::closeRequested()
{
    const HWND window = m_window.handle();
    // Asked while a command reads the word list: the command stops without a phrase, and the
    // window closes once it has returned.
    if (m_busy.serving() && IsWindowVisible(window)) {
        m_busy.requestStop();
        return;
    }
    if (m_closing || m_ended)
        return;
    m_closing = true;
    // A menu left open would stay on the screen while the window slides away.
    EndMenu();
    EventSink* sink = eventSink();
    const bool mayClose = !sink || asEvent([&] { return sink->closeRequested(); });
    m_motion.settle();
    m_closing = false;
    if (mayClose && !m_ended) {
        m_ended = true;
        PostQuitMessage(0);
    }
}

void Win32Platform::endSession()
{
    m_clipboard.flush();
    if (m_ended)
        return;
    m_ended = true;
    m_exitStatus = 0;
    PostQuitMessage(0);
}

void Win32Platform::throwIfEnded() const
{
    if (m_ended)
        throw ProcessEnd{};
}

void Win32Platform::tellRefusedClipboard(const std::u16string& advice)
{
    if (!m_clipboard.takeRefused())
        return;
    try {
        messageBox(u"Another program kept the clipboard locked, so the phrase could not be put on it.\r\n" + advice,
                   MessageIcon::Exclamation, u"Lexitrove");
    } catch (const ProcessEnd&) {
        // Ended while the message waited: the event loop is on its way out.
    }
}

void Win32Platform::showWindow()
{
    readEnded(); // the count at start-up read too
    ShowWindow(m_window.handle(), m_showCommand);
    UpdateWindow(m_window.handle());
}

int Win32Platform::runEventLoop()
{
    MSG message;
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got < 0 ? 1 : int(message.wParam);
}

void Win32Platform::leaveClipboard()
{
    // What the clipboard holds stays there once the program has ended: Windows keeps it.
    m_clipboard.flush();
    tellRefusedClipboard(u"Lexitrove has ended; start it again to make a new phrase.");
}

std::u16string Win32Platform::applicationFolder()
{
    return programFolder();
}

std::unique_ptr<InputFile> Win32Platform::openForInput(const std::u16string& path)
{
    return openFileForInput(path);
}

void Win32Platform::messageBox(const std::u16string& prompt, MessageIcon icon, const std::u16string& title)
{
    readEnded();
    // A command that cannot make a phrase has emptied the clipboard before it says why.
    m_clipboard.flush();
    const HWND window = m_window.handle();
    // Without the window before it is shown (at start-up) and after the program has ended.
    const HWND owner = IsWindowVisible(window) && !m_ended ? window : nullptr;
    UINT type = MB_OK | (icon == MessageIcon::Critical ? MB_ICONERROR : MB_ICONEXCLAMATION);
    if (!owner)
        type |= MB_SETFOREGROUND;
    ++m_modal;
    MessageBoxW(owner, wide(prompt), wide(title), type);
    --m_modal;
    throwIfEnded();
}

void Win32Platform::endProcess(int exitStatus)
{
    m_ended = true;
    m_exitStatus = exitStatus;
    // Leave through the event loop and wWinMain's return, never ExitProcess: the window and the
    // clipboard are handed over on the way.
    PostQuitMessage(exitStatus);
    throw ProcessEnd{};
}

float Win32Platform::timeOfDay()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const long milliseconds = ((long(now.wHour) * 60 + now.wMinute) * 60 + now.wSecond) * 1000L + now.wMilliseconds;
    return float(milliseconds) / 1000.0f;
}

std::uint64_t Win32Platform::randomBits()
{
    return systemRandomBits();
}

void Win32Platform::pumpEvents()
{
    // With messages queued, they are all handled at once. With none, it sleeps until the next
    // one or a few milliseconds, so that a caller polling the clock (the Copy Text pause) neither
    // spins a core nor oversleeps its deadline. Each wake-up asks Wine's server twice; 10 ms
    // keeps a pause under 2% of a core there, and on Windows a wait is one timer tick anyway.
    constexpr std::chrono::milliseconds idleWait{10};
    // Paused inside a command: the clipboard has the phrase meanwhile.
    m_clipboard.flush();
    waitForMessages(idleWait);
    handleQueuedMessages(UserInput::Handled, m_ended);
    throwIfEnded();
}

void Win32Platform::serveWhileReading()
{
    try {
        m_busy.serve();
    } catch (const PlatformError&) {
        throwIfEnded();
        throw;
    }
    throwIfEnded();
}

void Win32Platform::waitForNextFrame()
{
    m_motion.waitForNextPass();
    throwIfEnded(); // logging off cuts the closing animation short
}

void Win32Platform::showText(Box box, const std::u16string& text)
{
    // Only the phrase box shows its text. The hidden boxes hold nothing: what the program keeps
    // in them (the scratch box holds a whole phrase at times) stays in the platform, out of
    // reach of any other program that asks them for their text.
    if (box != Box::Text1)
        return;
    if (!SetWindowTextW(m_window.box(box), wide(text)))
        throw PlatformError{ErrorNumber::OutOfMemory, windowsErrorText(GetLastError())};
}
