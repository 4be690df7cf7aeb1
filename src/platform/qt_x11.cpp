// SPDX-License-Identifier: MIT
#include "platform/qt_x11.h"

#if defined(LEXITROVE_X11)
#include <QGuiApplication>

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != u"xcb")
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}
#endif
