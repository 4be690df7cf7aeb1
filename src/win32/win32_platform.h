// SPDX-License-Identifier: MIT
// The platform on the Windows API: every operation the logic asks of the desktop, and the one
// window procedure through which the window's events reach the logic.
#pragma once

#include "platform/platform.h"
#include "win32/win32_clipboard.h"
#include "win32/win32_menu.h"
#include "win32/win32_motion.h"
#include "win32/win32_serving.h"
#include "win32/win32_window.h"

#include <windows.h>

class Win32Platform final : public Platform
{
public:
    // Builds the window, hidden; `showCommand` is how wWinMain was asked to show it. Throws
    // PlatformError when Windows cannot open it.
    Win32Platform(HINSTANCE instance, int showCommand);
    ~Win32Platform() override;

    void showWindow() override;
    int runEventLoop() override;
    void leaveClipboard() override;

    std::u16string applicationFolder() override;
    std::unique_ptr<InputFile> openForInput(const std::u16string& path) override;

    void messageBox(const std::u16string& prompt, MessageIcon icon, const std::u16string& title) override;
    [[noreturn]] void endProcess(int exitStatus) override;
    bool hasEnded() const override { return m_ended; }
    int exitStatus() const override { return m_exitStatus; }

    float timeOfDay() override;
    std::uint64_t randomBits() override;
    void pumpEvents() override;
    void serveWhileReading() override;

    void setCaption(Item item, const std::u16string& caption) override { m_menu.setCaption(item, caption); }
    void setEnabled(Item item, bool enabled) override { m_menu.setEnabled(item, enabled); }
    void replaceClipboard(const std::u16string& text) override { m_clipboard.offer(text); }

    float geometry(Geometry which) override { return m_motion.geometry(which); }
    void setGeometry(Geometry which, float twips) override { m_motion.setGeometry(which, twips); }
    float screenWidth() override { return m_motion.screenWidth(); }
    void waitForNextFrame() override;

protected:
    void showText(Box box, const std::u16string& text) override;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Runs one of the window's events into the logic. Once the outermost one has returned, the
    // clipboard is given what the logic last put there, and a refusal is told.
    template <typename Call>
    auto asEvent(Call call);
    void eventReturned();
    // A command that read the word list is over: a close asked for meanwhile is carried out.
    void readEnded();
    void menuCommand(WORD commandId);
    void closeRequested();
    // Logging off or shutting down: the end of a close, without the animation, done before the
    // handler returns, since Windows may end the process any time after.
    void endSession();
    void throwIfEnded() const;
    // Says so when the clipboard stayed locked for the phrase, with what to do about it.
    void tellRefusedClipboard(const std::u16string& advice);

    Win32Menu m_menu;
    Win32Window m_window;
    Win32Clipboard m_clipboard;
    Win32Motion m_motion;
    BusyServing m_busy;
    int m_showCommand;
    int m_depth = 0; // events running, nested ones included
    int m_modal = 0; // message boxes open
    bool m_closing = false;
    bool m_ended = false;
    int m_exitStatus = 0;
};
