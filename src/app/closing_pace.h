// SPDX-License-Identifier: MIT
// The pace of the closing animation, the same on every desktop: the window's top edge slides from
// where it starts to past the screen's width in about a second, however fast or slow the window
// system carries out each move.
#pragma once

#include <chrono>

class ClosingPace
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kCrossing{1000};
    static constexpr std::chrono::milliseconds kLongestRun{1500};

    // The window's top edge moved from `fromPixel` to `toPixel` on a screen `screenPixels` wide:
    // this move's share of kCrossing is added to the time the next pass is due. Moves that follow
    // one another closely form one run.
    void noteTopMove(int fromPixel, int toPixel, int screenPixels);
    // When the next pass is due: never later than kLongestRun after the run began, so that a
    // window that keeps moving cannot hold the program past its end.
    Clock::time_point nextPass() const;
    // The pass that was due has begun, at `now`.
    void passBegun(Clock::time_point now = Clock::now()) { m_lastMove = now; }

private:
    Clock::time_point m_runStart;
    Clock::time_point m_lastMove;
    Clock::time_point m_due;
    std::chrono::duration<double> m_perPixel{0};
};
