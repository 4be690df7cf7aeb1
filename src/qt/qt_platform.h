// SPDX-License-Identifier: MIT
// The platform on Qt: every operation the logic asks of the desktop, carried out on the Qt window,
// and the one owner of that window's events, which decides what each of them runs.
#pragma once

#include "platform/platform.h"
#include "qt/qt_busy_serving.h"
#include "qt/qt_clipboard.h"
#include "qt/qt_window_motion.h"

#include <QObject>

class QtWindow;

class QtPlatform final : public QObject, public Platform
{
public:
    // Needs a QApplication; `window` must outlive the platform. From now on the window's menu
    // actions and close requests come here, and go on to the event sink (the window object) one
    // at a time: none while a command reads the word list, none while the window closes.
    explicit QtPlatform(QtWindow& window);
    ~QtPlatform() override;

    // A request to end from outside the window (a signal): ends the program with `exitStatus`
    // now, or, while a command reads, once it has stopped without a phrase and returned. Once
    // the program is ending, it keeps the status it has.
    void requestEnd(int exitStatus);

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
    void setCaption(Item item, const std::u16string& caption) override;
    void setEnabled(Item item, bool enabled) override;
    // The desktop is given the text once the outermost event of the window has been handled,
    // before a message box waits, while a command pauses, and as the program ends.
    void replaceClipboard(const std::u16string& text) override;
    float geometry(Geometry which) override { return m_motion.geometry(which); }
    void setGeometry(Geometry which, float twips) override { m_motion.setGeometry(which, twips); }
    float screenWidth() override { return m_motion.screenWidth(); }
    void waitForNextFrame() override;

protected:
    void showText(Box box, const std::u16string& text) override;
    // Installed for the whole application while the window closes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chosen(Item item);
    bool mayClose();
    template <typename Event>
    auto dispatch(Event event);
    void afterOutermostEvent();
    void throwIfEnded() const;

    QtWindow& m_window;
    WindowMotion m_motion;
    BusyServing m_busy;
    QtClipboard m_clipboard;
    int m_depth = 0; // events of the window being handled, one inside another
    bool m_closing = false;
    bool m_ended = false;
    int m_exitStatus = 0;
};
