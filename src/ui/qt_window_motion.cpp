// SPDX-License-Identifier: MIT
// Pacing and flushing the moves of the closing animation.
#include "ui/qt_window_motion.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <thread>

// Qt built without X11 support has no X11 connection to flush, whatever libraries are around.
#if defined(LEXITROVE_HAVE_XCB) && QT_CONFIG(xcb)
#define LEXITROVE_FLUSH_XCB
#include <xcb/xcb.h>
#endif

namespace {

// Moves further apart than this belong to different runs: the animation's own follow one
// another within a few milliseconds.
constexpr std::chrono::milliseconds kRunGap{250};

// Hands the requests queued on the connection to the window system. Qt does not promise to send
// X11 requests before its event loop runs again, which the closing sequence never lets it do.
void flushConnection()
{
#if defined(LEXITROVE_FLUSH_XCB)
    // Other platforms may answer for X11 too (offscreen does, without a connection).
    if (QGuiApplication::platformName() != u"xcb")
        return;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr)
        xcb_flush(connection);
#endif
}

} // namespace

void WindowMotion::paceTopMove(int fromPixel, int toPixel, int screenPixels)
{
    const int distance = toPixel - fromPixel;
    if (distance <= 0 || screenPixels <= 0)
        return;
    const Clock::time_point now = Clock::now();
    if (now - m_lastMove > kRunGap) {
        // The run ends once the top edge passes the screen's width, so the way left is known
        // here: spread kCrossing over it, wherever the window starts. A window that starts low
        // is given half a screen's way, so that its few moves do not crawl.
        const int way = std::max(screenPixels - fromPixel, screenPixels / 2);
        m_perPixel = std::chrono::duration<double>(kCrossing) / way;
        m_runStart = now;
        m_due = now;
    }
    // Time owed accumulates, so a move that took long by itself shortens the next waits, and the
    // run keeps to its length however slow the window system is.
    m_due += std::chrono::duration_cast<Clock::duration>(m_perPixel * distance);
    const Clock::time_point until = std::min(m_due, m_runStart + kLongestRun);
    if (until > now)
        std::this_thread::sleep_until(until);
    m_lastMove = Clock::now();
}

void WindowMotion::showNow(QWidget& window, bool resized)
{
    if (!window.isVisible())
        return;
    if (resized)
        window.repaint();
    flushConnection();
}
