// SPDX-License-Identifier: MIT
// A pipe from the signal handler to the event loop: write(2) is one of the few calls a handler
// may make, and the notifier hands the byte on once the handler is long done.
#include "qt/qt_end_signals.h"

#include <QSocketNotifier>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#if defined(Q_OS_UNIX)
constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};
int s_pipe[2] = {-1, -1};

void writeSignal(int signal)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a signal to act on; nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
    errno = savedErrno;
}
#endif

} // namespace

EndSignals::EndSignals(std::function<void(int)> onSignal)
    : m_onSignal(std::move(onSignal))
{
#if defined(Q_OS_UNIX)
    if (::pipe(s_pipe) != 0)
        return; // the signals keep their default effect
    for (const int end : s_pipe) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    m_notifier = std::make_unique<QSocketNotifier>(s_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { readSignal(); });
    struct sigaction action{};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    // Once only: should the teardown hang, a second Ctrl+C still ends the process at once.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signal : kEndSignals) {
        // A signal ignored from the start stays ignored: nohup(1) asks for that of SIGHUP, and a
        // shell of background jobs of SIGINT.
        struct sigaction before{};
        ::sigaction(signal, nullptr, &before);
        if (before.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
#endif
}

EndSignals::~EndSignals()
{
#if defined(Q_OS_UNIX)
    if (!m_notifier)
        return;
    for (const int signal : kEndSignals) {
        struct sigaction now{};
        ::sigaction(signal, nullptr, &now);
        if (now.sa_handler == writeSignal)
            ::signal(signal, SIG_DFL);
    }
    m_notifier.reset();
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
#endif
}

void EndSignals::readSignal()
{
#if defined(Q_OS_UNIX)
    unsigned char byte = 0;
    if (::read(s_pipe[0], &byte, 1) != 1)
        return;
    // One end is enough: the notifier stays quiet from now on.
    m_notifier->setEnabled(false);
    m_onSignal(byte);
#endif
}
