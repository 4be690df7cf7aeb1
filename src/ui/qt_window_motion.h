// SPDX-License-Identifier: MIT
// Makes the closing animation visible: each move reaches the window system at once, and the moves
// of the top edge are paced so that sliding down a screen's width takes about a second.
#pragma once

#include <chrono>

class QWidget;

class WindowMotion
{
public:
    // Called before the window's top edge moves from `fromPixel` to `toPixel` on a screen
    // `screenPixels` wide: waits out this move's share of kCrossing, the time for the top edge
    // to travel from where the run started to the screen's width. Moves that follow one another
    // closely form one run; a run never waits longer than kLongestRun in all.
    void paceTopMove(int fromPixel, int toPixel, int screenPixels);

    // Sends the window's new geometry to the window system now, and after a resize repaints it,
    // without handling any input: the caller must not see other events run meanwhile.
    static void showNow(QWidget& window, bool resized);

    static constexpr std::chrono::milliseconds kCrossing{1000};
    static constexpr std::chrono::milliseconds kLongestRun{1500};

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_runStart;
    Clock::time_point m_lastMove;
    Clock::time_point m_due;
    std::chrono::duration<double> m_perPixel{0};
};
