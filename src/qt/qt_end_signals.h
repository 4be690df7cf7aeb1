// SPDX-License-Identifier: MIT
// The signals that ask a program to end (SIGTERM, SIGINT from Ctrl+C in a terminal, SIGHUP when
// the terminal goes away), turned into an event of the event loop, so that the program ends
// through its normal teardown, where the desktop's clipboard manager takes the phrase over.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

class EndSignals final : public QObject
{
public:
    // From now on, the first of these signals calls `onSignal` with its number, from the event
    // loop; a second one, while the program ends, has the system's default effect. The signal
    // handler itself only writes the number to a pipe. Needs a QCoreApplication; one at a time.
    explicit EndSignals(std::function<void(int)> onSignal);
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

private:
    void readSignal();

    std::function<void(int)> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
