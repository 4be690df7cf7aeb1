// SPDX-License-Identifier: MIT
// The window's outer frame in twips, and the closing motion that moves it: the passes are paced
// so that sliding down a screen's width takes about a second, and the window system is served
// between them.
#pragma once

#include "app/closing_pace.h"
#include "platform/platform.h"

#include <windows.h>

#include <optional>

class Win32Motion
{
public:
    // `ended`: the platform's flag that the process was ended, which cuts a wait short.
    Win32Motion(HWND window, bool& ended);

    // Platform's geometry operations, on the window's outer frame at the window's DPI.
    float geometry(Geometry which);
    void setGeometry(Geometry which, float twips);
    float screenWidth();

    // Serves the window system until the next pass is due; while the run is late, only about
    // once a frame. User input is not acted on. A run never waits longer than
    // ClosingPace::kLongestRun in all.
    void waitForNextPass();
    // Once the closing sequence has ended: sends the frame kept while it was behind time, and
    // takes the window as Windows has it again.
    void settle();

private:
    using Clock = ClosingPace::Clock;

    // The window as the motion started from it and as the program has set it since. A pass
    // reads and writes the frame ten times; asking Windows each time for the screen and the
    // smallest size would take longer than the pass may.
    struct Moving
    {
        RECT outer;
        UINT dpi;
        int screenPixels;
        SIZE smallest; // Windows holds a window with a caption at its smallest tracking size
    };
    Moving& moving();
    void apply();

    HWND m_window;
    bool& m_ended;
    // Kept from the first read or write on, so that what Windows or a window manager report
    // meanwhile does not pull the window back between two passes.
    std::optional<Moving> m_moving;
    bool m_behind = false; // the run is behind time: frames are kept, not sent
    ClosingPace m_pace;
    Clock::time_point m_lastServed;
};
