// SPDX-License-Identifier: MIT
// Qt's own connection to the X server, and whether that server is Xwayland.
#include "qt/qt_x11.h"

#if defined(LEXITROVE_X11)
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdlib>

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != u"xcb")
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

bool runsOnXwayland(xcb_connection_t* connection)
{
    static constexpr char name[] = "XWAYLAND";
    xcb_query_extension_reply_t* extension =
        xcb_query_extension_reply(connection, xcb_query_extension(connection, sizeof name - 1, name), nullptr);
    const bool present = extension && extension->present;
    std::free(extension);
    if (present)
        return true;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [](const QScreen* screen) { return screen->name().startsWith(u"XWAYLAND"); });
}
#endif
