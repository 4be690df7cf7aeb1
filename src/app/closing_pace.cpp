// SPDX-License-Identifier: MIT
// Spreading a second over the way the closing window has to go.
#include "app/closing_pace.h"

#include <algorithm>

namespace {

// Moves further apart than this belong to different runs: the animation's own follow one
// another within a few milliseconds.
constexpr std::chrono::milliseconds kRunGap{250};

} // namespace

void ClosingPace::noteTopMove(int fromPixel, int toPixel, int screenPixels)
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
    // Time owed accumulates, so a pass that took long by itself shortens the next waits, and the
    // run keeps to its length however slow the window system is.
    m_due += std::chrono::duration_cast<Clock::duration>(m_perPixel * distance);
    m_lastMove = now;
}

ClosingPace::Clock::time_point ClosingPace::nextPass() const
{
    return std::min(m_due, m_runStart + kLongestRun);
}
