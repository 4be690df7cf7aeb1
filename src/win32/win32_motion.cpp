// SPDX-License-Identifier: MIT
// Moving the window in twips, and pacing the passes of the closing animation.
#include "win32/win32_motion.h"

#include "ui/window_description.h"
#include "win32/win32_serving.h"

#include <algorithm>
#include <cmath>

namespace WD = WindowDescription;

namespace {

// Beyond any screen: a value past it is an overflow, not a place.
constexpr double kLargestPixels = 16777215;

} // namespace

Win32Motion::Win32Motion(HWND window, bool& ended)
    : m_window(window)
    , m_ended(ended)
{}

Win32Motion::Moving& Win32Motion::moving()
{
    if (!m_moving) {
        Moving start{};
        GetWindowRect(m_window, &start.outer);
        start.dpi = GetDpiForWindow(m_window);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        start.screenPixels = GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTONEAREST), &monitor)
            ? monitor.rcMonitor.right - monitor.rcMonitor.left
            : GetSystemMetrics(SM_CXSCREEN);
        start.smallest = {GetSystemMetricsForDpi(SM_CXMINTRACK, start.dpi),
                          GetSystemMetricsForDpi(SM_CYMINTRACK, start.dpi)};
        m_moving = start;
    }
    return *m_moving;
}

float Win32Motion::geometry(Geometry which)
{
    const Moving& now = moving();
    const RECT& rect = now.outer;
    const double perPixel = double(WD::TwipsPerInch) / now.dpi;
    switch (which) {
    case Geometry::Top: return float(rect.top * perPixel);
    case Geometry::Left: return float(rect.left * perPixel);
    case Geometry::Width: return float((rect.right - rect.left) * perPixel);
    case Geometry::Height: return float((rect.bottom - rect.top) * perPixel);
    }
    return 0.0f;
}

void Win32Motion::setGeometry(Geometry which, float twips)
{
    // Windows keeps a minimised or maximised window where it is: were it moved, it would come
    // back there, and the closing sequence would never see its top edge reach the bound.
    if (IsIconic(m_window) || IsZoomed(m_window))
        throw PlatformError{ErrorNumber::WindowNotMovable, u"A minimised or maximised window is not moved"};
    Moving& now = moving();
    const double pixelsExact = double(twips) * now.dpi / WD::TwipsPerInch;
    if (!(std::abs(pixelsExact) <= kLargestPixels))
        throw PlatformError{ErrorNumber::Overflow, u"Overflow"};
    const int pixels = WD::toPixels(twips, now.dpi);
    RECT& rect = now.outer;
    switch (which) {
    case Geometry::Top:
        m_pace.noteTopMove(rect.top, pixels, now.screenPixels);
        OffsetRect(&rect, 0, pixels - rect.top);
        break;
    case Geometry::Left: OffsetRect(&rect, pixels - rect.left, 0); break;
    // Held at the smallest size as Windows holds the window, so that what is read back is what
    // the window is.
    case Geometry::Width: rect.right = rect.left + std::max(pixels, int(now.smallest.cx)); break;
    case Geometry::Height: rect.bottom = rect.top + std::max(pixels, int(now.smallest.cy)); break;
    }
    if (!m_behind)
        apply();
}

void Win32Motion::apply()
{
    if (!m_moving)
        return;
    const RECT& rect = m_moving->outer;
    SetWindowPos(m_window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

float Win32Motion::screenWidth()
{
    const Moving& now = moving();
    return float(double(now.screenPixels) * WD::TwipsPerInch / now.dpi);
}

void Win32Motion::waitForNextPass()
{
    const Clock::time_point now = Clock::now();
    const Clock::time_point until = m_pace.nextPass();
    // Behind time, the window is not moved until the run has caught up: the frame is kept and
    // sent in one go at the next pass on time, so the number of passes, each waiting for the
    // window system, does not set the closing's length. Nor is it served at every pass then.
    m_behind = until <= now;
    if (m_behind && now - m_lastServed < BusyServing::kFrame) {
        m_pace.passBegun(now);
        return;
    }
    if (!m_behind)
        apply();
    for (;;) {
        handleQueuedMessages(UserInput::Dropped, m_ended);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        if (m_ended || left <= std::chrono::milliseconds{0})
            break;
        waitForMessages(left);
    }
    m_lastServed = Clock::now();
    m_pace.passBegun(m_lastServed);
}

void Win32Motion::settle()
{
    m_behind = false;
    apply();
    m_moving.reset();
}
