// SPDX-License-Identifier: MIT
// Start-up: builds the window, runs its load event, and shows it unless start-up ended.
#include "app/form1.h"
#include "platform/qt_display_choice.h"
#include "platform/qt_end_signals.h"
#include "platform/qt_platform.h"
#include "ui/qt_window.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// A signal to end ends the program as closing the window does, without the animation: through
// the normal teardown, with the status a shell gives a process a signal ended.
void endBySignal(QtPlatform& platform, int signal)
{
    if (platform.hasEnded())
        return; // already on its way out, with its own status
    try {
        platform.endProcess(128 + signal);
    } catch (const ProcessEnd&) {
        // Nothing to unwind here: the event loop is on its way out.
    }
}

} // namespace

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
    const EndSignals endSignals([&window, &platform](int signal) {
        window.endRequested([&platform, signal] { endBySignal(platform, signal); });
    });
    form.load();
    if (platform.hasEnded())
        return platform.exitStatus();
    window.show();
    const int status = QApplication::exec();
    platform.leaveClipboard();
    return platform.hasEnded() ? platform.exitStatus() : status;
}
