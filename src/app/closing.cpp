// SPDX-License-Identifier: MIT
// Closing sequence: the window shrinks about its centre and slides down and right, then the process ends.
#include "app/closing.h"

namespace {

// Twips per pass: every edge moves 30 inward, so the centre stays put while the size lasts.
constexpr float kMoveStep = 30.0f;
constexpr float kSizeStep = 60.0f;

// Runs one step of the sequence on its own: a failed read or write abandons that step only, and
// the next one runs. Only platform errors are ignored; ProcessEnd must reach the window object.
template <typename Step>
bool ignoringErrors(Step step)
{
    try {
        step();
        return true;
    } catch (const PlatformError&) {
        return false;
    }
}

// Reads the value afresh, adds `delta` in single precision and writes the sum back.
void stepBy(Platform& platform, Geometry which, float delta)
{
    const float sum = platform.geometry(which) + delta;
    platform.setGeometry(which, sum);
}

} // namespace

void Form_Unload(FormState&, Platform& platform, std::int16_t&)
{
    for (;;) {
        float topBefore = 0.0f;
        const bool topWritten = ignoringErrors([&] {
            topBefore = platform.geometry(Geometry::Top);
            platform.setGeometry(Geometry::Top, topBefore + kMoveStep);
        });
        ignoringErrors([&] { stepBy(platform, Geometry::Left, kMoveStep); });
        ignoringErrors([&] { stepBy(platform, Geometry::Width, -kSizeStep); });
        ignoringErrors([&] { stepBy(platform, Geometry::Height, -kSizeStep); });
        // A failed test leaves the loop as well. So does a window whose top no longer grows
        // (minimised, maximised, held by the window system, at the edge of the desktop, or too
        // far out for 30 to register in single precision): it would never reach the bound.
        bool goOn = false;
        ignoringErrors([&] {
            const float top = platform.geometry(Geometry::Top);
            goOn = topWritten && top > topBefore && top <= platform.screenWidth();
        });
        if (!goOn)
            break;
        // The pace of the animation, and the moment other programs are answered: a paste
        // elsewhere must not wait for the window to finish leaving.
        ignoringErrors([&] { platform.waitForNextFrame(); });
    }
    platform.endProcess(0);
}
