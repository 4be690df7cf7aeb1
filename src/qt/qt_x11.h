// SPDX-License-Identifier: MIT
// Qt's own connection to the X server, for the little that Qt offers no call for.
#pragma once

#include <QtGui/qtguiglobal.h>

// Qt built without X11 support has no X11 connection, whatever libraries are around.
#if defined(LEXITROVE_HAVE_XCB) && QT_CONFIG(xcb)
#define LEXITROVE_X11
#include <xcb/xcb.h>

// Qt's connection where the program runs on X11; null elsewhere. Other platforms, offscreen
// among them, may answer for X11 too, without a connection.
xcb_connection_t* x11Connection();

// Whether the X server on `connection` is Xwayland, an X server that a Wayland compositor runs
// for its X clients. Newer ones (23.1 on) answer for the XWAYLAND extension; every one names
// its screens' outputs XWAYLAND0, XWAYLAND1 and so on, which Qt reads as its screens' names.
bool runsOnXwayland(xcb_connection_t* connection);
#endif
