// SPDX-License-Identifier: MIT
// The program's life on any desktop, from the load event to the exit status.
#pragma once

#include "platform/platform.h"

// Builds the window object on `platform` (whose window is built, hidden), runs the load event,
// shows the window unless start-up ended the process, runs the event loop, and hands the
// clipboard over as the program ends. Returns the exit status.
int runProgram(Platform& platform);
