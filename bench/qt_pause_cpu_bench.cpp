// SPDX-License-Identifier: MIT
// What the Copy Text pause costs: processor time over the real Qt platform (offscreen), against
// a busy loop of the same length, and how late the caption comes back after the second.
#include "app/form1.h"
#include "qt/qt_platform.h"
#include "qt/qt_window.h"

#include <QAction>
#include <QApplication>
#include <QTime>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The processor share of a loop that never yields: one core, as the scheduler grants it here.
double busyLoopShare(double wallSeconds)
{
    const double cpuBefore = cpuSeconds();
    const Clock::time_point start = Clock::now();
    volatile unsigned long spins = 0;
    while (secondsSince(start) < wallSeconds)
        spins = spins + 1;
    return (cpuSeconds() - cpuBefore) / secondsSince(start);
}

struct Pause
{
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double captionLateMs = 0; // after the clock reading that ends the pause was due
};

Pause measurePause(QtWindow& window, Form1& form)
{
    QAction* copy = &window.action(Item::Ct1);
    bool confirming = false;
    double restoredAt = -1;
    const QMetaObject::Connection watch = QObject::connect(copy, &QAction::changed, copy, [&] {
        if (copy->text() == u"Text Copied")
            confirming = true;
        else if (confirming && restoredAt < 0)
            restoredAt = QTime::currentTime().msecsSinceStartOfDay();
    });
    Pause pause;
    const double cpuBefore = cpuSeconds();
    const Clock::time_point start = Clock::now();
    copy->trigger();
    pause.wallSeconds = secondsSince(start);
    pause.cpuSeconds = cpuSeconds() - cpuBefore;
    QObject::disconnect(watch);
    pause.captionLateMs = restoredAt - (double(form.state().TStart) + 1.0) * 1000.0;
    return pause;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QtWindow window;
    QtPlatform platform(window);
    Form1 form(platform);
    platform.showWindow();
    platform.setText(Box::Text1, u"correct horse battery");

    constexpr int Runs = 5;
    const double busyShare = busyLoopShare(1.0);
    double worstShare = 0;
    double worstLateMs = -1e9;
    double shortest = 1e9;
    for (int run = 0; run < Runs; ++run) {
        const Pause pause = measurePause(window, form);
        const double share = pause.cpuSeconds / pause.wallSeconds;
        std::printf("pause %d: %.3f s, %.1f ms of processor time (%.2f%% of a core), caption back %.1f ms "
                    "after the second\n",
                    run + 1, pause.wallSeconds, pause.cpuSeconds * 1000, share * 100, pause.captionLateMs);
        worstShare = qMax(worstShare, share);
        worstLateMs = qMax(worstLateMs, pause.captionLateMs);
        shortest = qMin(shortest, pause.wallSeconds);
    }
    // The ratio to a busy loop measured in the same run takes out what the machine itself grants.
    const double ratio = worstShare / busyShare;
    std::printf("busy loop: %.1f%% of a core; worst pause / busy loop = %.4f (target < 0.05)\n", busyShare * 100,
                ratio);
    std::printf("caption back at most %.1f ms after the second (target < 20); shortest pause %.3f s\n",
                worstLateMs, shortest);
    // Late in the day single-precision clock readings lie 1/128 s apart, so the second the
    // handler measures may be that much shorter by a finer clock.
    const bool met = ratio < 0.05 && worstLateMs < 20.0 && shortest >= 1.0 - 1.0 / 128;
    std::printf("%s\n", met ? "targets met" : "TARGETS MISSED");
    return met ? 0 : 1;
}
