// SPDX-License-Identifier: MIT
// Start-up: builds the window, runs its load event, and shows it unless start-up ended.
#include "app/form1.h"
#include "ui/qt_platform.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts with a long message when it finds no display; say it in one line instead.
bool displayMissing()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
           && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    if (displayMissing()) {
        std::fputs("lexitrove: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are unset); "
                   "start it from a desktop session, or under xvfb-run.\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lexitrove"));
    QApplication::setApplicationVersion(QStringLiteral(LEXITROVE_VERSION));

    QtPlatform platform;
    Form1 form(platform);
    form.load();
    if (platform.hasEnded())
        return platform.exitStatus();
    platform.showWindow();
    const int status = QApplication::exec();
    return platform.hasEnded() ? platform.exitStatus() : status;
}
