// SPDX-License-Identifier: MIT
// The program on Qt: the display, the application, the window and its platform, then the
// start-up every desktop runs.
#include "app/startup.h"
#include "qt/qt_display_choice.h"
#include "qt/qt_end_signals.h"
#include "qt/qt_platform.h"
#include "qt/qt_window.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    // Qt aborts with a page of text where it cannot open a display; say why in one line instead.
    if (const QString problem = chooseQtDisplay(); !problem.isEmpty()) {
        std::fprintf(stderr, "lexitrove: %s\n", qPrintable(problem));
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lexitrove"));
    QApplication::setApplicationVersion(QStringLiteral(LEXITROVE_VERSION));

    QtWindow window;
    QtPlatform platform(window);
    // A signal to end ends the program as closing the window does, without the animation: through
    // the normal teardown, with the status a shell gives a process a signal ended.
    const EndSignals endSignals([&platform](int signal) { platform.requestEnd(128 + signal); });
    return runProgram(platform);
}
