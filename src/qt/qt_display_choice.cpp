// SPDX-License-Identifier: MIT
// Qt 6 tries its Wayland platform plugin first wherever a Wayland session shows (WAYLAND_DISPLAY
// or XDG_SESSION_TYPE) and then X11. Without that plugin it falls back to X11 with a warning, or,
// with no X server either, aborts with a page of text; without any display it aborts too.
#include "qt/qt_display_choice.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStringList>

namespace {

bool isSet(const char* name)
{
    return !qEnvironmentVariableIsEmpty(name);
}

// Qt looks for platform plugins in the folders QT_QPA_PLATFORM_PLUGIN_PATH names and in the
// "platforms" folder of each plugin path.
bool waylandPluginInstalled()
{
    const QChar separator = QDir::listSeparator();
    QStringList folders = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH").split(separator, Qt::SkipEmptyParts);
    QStringList pluginPaths = qEnvironmentVariable("QT_PLUGIN_PATH").split(separator, Qt::SkipEmptyParts);
    pluginPaths << QLibraryInfo::path(QLibraryInfo::PluginsPath);
    for (const QString& path : pluginPaths)
        folders << path + QStringLiteral("/platforms");
    for (const QString& folder : folders) {
        if (!QDir(folder).entryList({QStringLiteral("*qwayland*")}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}

// The compositor's socket, as Wayland clients find it: WAYLAND_DISPLAY (wayland-0 when unset),
// a path of its own or a name in XDG_RUNTIME_DIR.
bool waylandCompositorReachable()
{
    QString socket = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
    if (!socket.startsWith(u'/'))
        socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + socket;
    return QFileInfo::exists(socket);
}

// Where QT_QPA_PLATFORM asks for one platform (not a list to try in turn) that cannot start, why.
QString requestedPlatformProblem()
{
    const QString requested = qEnvironmentVariable("QT_QPA_PLATFORM");
    const QString name = requested.section(u':', 0, 0);
    if (requested.contains(u';'))
        return {};
    if (name.startsWith(u"wayland")) {
        if (!waylandPluginInstalled())
            return QStringLiteral("QT_QPA_PLATFORM=%1 asks for Qt's Wayland platform plugin, which is not "
                                  "installed: install package qt6-wayland (sudo apt-get install qt6-wayland), "
                                  "or unset QT_QPA_PLATFORM").arg(requested);
        if (!waylandCompositorReachable())
            return QStringLiteral("QT_QPA_PLATFORM=%1 asks for Wayland, but no Wayland compositor answers "
                                  "(WAYLAND_DISPLAY is %2): start it from a Wayland session, or unset "
                                  "QT_QPA_PLATFORM")
                .arg(requested, isSet("WAYLAND_DISPLAY") ? qEnvironmentVariable("WAYLAND_DISPLAY")
                                                         : QStringLiteral("unset"));
    }
    if (name == u"xcb" && !isSet("DISPLAY"))
        return QStringLiteral("QT_QPA_PLATFORM=%1 asks for X11, but DISPLAY is unset: start it from a desktop "
                              "session, or under xvfb-run (sudo apt-get install xvfb xauth)").arg(requested);
    return {};
}

} // namespace

QString chooseQtDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (isSet("QT_QPA_PLATFORM"))
        return requestedPlatformProblem();
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
        return QStringLiteral("no display to show the window on (DISPLAY and WAYLAND_DISPLAY are unset); start it "
                              "from a desktop session, or under xvfb-run (sudo apt-get install xvfb xauth)");
    const bool wayland = isSet("WAYLAND_DISPLAY") || qEnvironmentVariable("XDG_SESSION_TYPE") == QStringLiteral("wayland");
    if (wayland && !waylandPluginInstalled()) {
        if (!isSet("DISPLAY"))
            return QStringLiteral("this Wayland session has no X server, so Qt needs its Wayland platform plugin: "
                                  "install package qt6-wayland (sudo apt-get install qt6-wayland)");
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
#endif
    return {};
}
