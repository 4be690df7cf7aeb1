// SPDX-License-Identifier: MIT
// The window's outer frame in twips, and the closing motion that moves it: the passes are paced
// so that sliding down a screen's width takes about a second, and the window system is served
// between them.
#pragma once

#include "platform/platform.h"

#include <windows.h>

#include <chrono>
#include <optional>

class Win32Motion
{
public:
    // `ended`: the platform's flag that the process was ended, which cuts a wait short.
    Win32Motion(HWND window, const bool& ended);

    // Platform's geometry operations, on the window's outer frame at the window's DPI.
    float geometry(Geometry which) const;
    void setGeometry(Geometry which, float twips);
    float screenWidth() const;

    // Serves the window system until the next pass is due, at least once even when the run is
    // late; user input is not acted on. A run never waits longer than kLongestRun in all.
    void waitForNextPass();
    // Once the closing sequence has ended: sends the frame kept while it was behind time.
    void settle();

    static constexpr std::chrono::milliseconds kCrossing{1000};
    static constexpr std::chrono::milliseconds kLongestRun{1500};

private:
    using Clock = std::chrono::steady_clock;

    UINT dpi() const;
    // The outer frame as the program last set it, sent or not.
    RECT outer() const;
    void apply();
    // The window's top edge moves from `fromPixel` to `toPixel` on a screen `screenPixels`
    // wide: this move's share of kCrossing, the time for the top edge to travel from where the
    // run started to the screen's width, is added to the time the next pass is due.
    void noteTopMove(int fromPixel, int toPixel, int screenPixels);
    int screenPixels() const;

    HWND m_window;
    const bool& m_ended;
    // Once the program moves the window, the frame it set: what Windows or a window manager
    // report meanwhile does not pull the window back between two passes.
    std::optional<RECT> m_outer;
    bool m_behind = false; // the run is behind time: frames are kept, not sent
    Clock::time_point m_runStart;
    Clock::time_point m_lastMove;
    Clock::time_point m_due;
    std::chrono::duration<double> m_perPixel{0};
};
