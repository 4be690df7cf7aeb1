// SPDX-License-Identifier: MIT
// Start-up, the event loop and the end, the same on every desktop.
#include "app/startup.h"

#include "app/form1.h"

int runProgram(Platform& platform)
{
    Form1 form(platform);
    form.load();
    // A missing word list ends the program before the window was ever seen.
    if (platform.hasEnded())
        return platform.exitStatus();
    platform.showWindow();
    const int status = platform.runEventLoop();
    // The last phrase must reach the desktop, and the clipboard be left as its rules want,
    // however the loop ended: a close, a signal, or the missing list during a command.
    platform.leaveClipboard();
    return platform.hasEnded() ? platform.exitStatus() : status;
}
