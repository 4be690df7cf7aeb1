// SPDX-License-Identifier: MIT
// Serving the window system from inside a long read, and knowing when the command is over.
#include "qt/qt_busy_serving.h"

#include "platform/platform.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QWidget>

namespace {

// Posted when a command first reads. The event loop hands it on only between events, so it
// arrives either from inside serve(), while the command still reads, or once the command has
// returned to an event loop.
const QEvent::Type kCommandCheck = QEvent::Type(QEvent::registerEventType());

} // namespace

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: return true;
    default: return false;
    }
}

BusyServing::BusyServing(QWidget& window)
    : m_window(window)
{
}

BusyServing::~BusyServing()
{
    if (m_busyPointer)
        QGuiApplication::restoreOverrideCursor();
}

void BusyServing::serve()
{
    // Once stopped, the command is on its way back: nothing more is read, nothing more served.
    if (m_stopping)
        throw PlatformError{ErrorNumber::UserInterrupt, u"User interrupt occurred"};
    const Clock::time_point now = Clock::now();
    if (!m_inCommand) {
        m_inCommand = true;
        m_lastServed = now;
        postCommandCheck();
        return;
    }
    if (now - m_lastServed < kFrame)
        return;
    if (!m_busyPointer) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_busyPointer = true;
    }
    {
        const QScopedValueRollback<bool> serving(m_serving, true);
        QCoreApplication::instance()->installEventFilter(this);
        // Everything queued, once: no wait, so the read goes on at once when nothing is.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::instance()->removeEventFilter(this);
    }
    m_lastServed = Clock::now();
    if (m_request) {
        m_stopping = true;
        throw PlatformError{ErrorNumber::UserInterrupt, u"User interrupt occurred"};
    }
}

void BusyServing::whenStopped(std::function<void()> request)
{
    if (m_serving && m_window.isVisible()) {
        if (!m_request)
            m_request = std::move(request);
        return;
    }
    request();
}

void BusyServing::postCommandCheck()
{
    QCoreApplication::postEvent(this, new QEvent(kCommandCheck));
}

bool BusyServing::eventFilter(QObject* watched, QEvent* event)
{
    // A click or a key is not kept for later: acted on once the command is over, it would run
    // a command the user no longer expects.
    return isUserInput(event->type()) || QObject::eventFilter(watched, event);
}

void BusyServing::customEvent(QEvent* event)
{
    if (event->type() != kCommandCheck)
        return;
    if (m_serving) {
        // The command still reads: look again after the next service.
        postCommandCheck();
        return;
    }
    m_inCommand = false;
    if (m_busyPointer) {
        QGuiApplication::restoreOverrideCursor();
        m_busyPointer = false;
    }
    m_stopping = false;
    if (const std::function<void()> request = std::exchange(m_request, nullptr))
        request();
}
