// SPDX-License-Identifier: MIT
// Start-up: builds the window, runs its load event, and shows it unless start-up ended.
#include "app/form1.h"
#include "platform/qt_display_choice.h"
#include "platform/qt_platform.h"
#include "ui/qt_window.h"

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
    Form1 form(platform);
    form.load();
    if (platform.hasEnded())
        return platform.exitStatus();
    window.show();
    const int status = QApplication::exec();
    platform.leaveClipboard();
    return platform.hasEnded() ? platform.exitStatus() : status;
}
