// SPDX-License-Identifier: MIT
// The window's geometry in twips, and the closing motion that moves it: each move reaches the
// window system at once, the passes are paced so that sliding down a screen's width takes about
// a second, and the window system is served, and the window repainted, between them.
#pragma once

#include "app/closing_pace.h"
#include "platform/platform.h"

#include <QRect>
#include <QSize>

#include <memory>
#include <optional>

class QAbstractNativeEventFilter;
class QWidget;

class WindowMotion
{
public:
    explicit WindowMotion(QWidget& window);
    ~WindowMotion();
    WindowMotion(const WindowMotion&) = delete;
    WindowMotion& operator=(const WindowMotion&) = delete;

    // Platform's geometry operations, on the window's outer frame.
    float geometry(Geometry which) const;
    void setGeometry(Geometry which, float twips);
    float screenWidth() const;

    // Runs the event loop until the next pass is due, at least once even when the run is late,
    // so that other programs' clipboard requests, repaints and accessibility queries are answered
    // between passes. Input from the user stays queued; a run never waits longer than
    // ClosingPace::kLongestRun in all.
    void waitForNextPass();

    // As the closing sequence starts: from now on until settle(), the window system's reports of
    // where the window is and how large it is are dropped, so that the window stays where the
    // program last put it. While the window moves every millisecond, the window manager's answers
    // come late: taken in between two passes, a report of an earlier move would pull the window
    // back, and the next pass would start from there.
    void holdGeometry();
    // Once the closing sequence has ended: sends the geometry kept while it was behind time, lets
    // the window repaint again, and takes the window system's reports again.
    void settle();

private:
    double dpi() const;
    // The outer frame as the program last set it, sent or not.
    QRect outerGeometry() const;
    // Sends the geometry kept in m_outer to the window system.
    void applyGeometry();
    void resize(QSize size);
    QWidget& m_window;
    // The outer frame the program set and the window system has not been sent yet, and on Wayland
    // where the program put the window.
    std::optional<QRect> m_outer;
    bool m_behind = false; // the closing's run is behind time
    ClosingPace m_pace;
    std::unique_ptr<QAbstractNativeEventFilter> m_held; // null where the platform needs none
};
