// SPDX-License-Identifier: MIT
// Handing the phrase to the desktop's clipboard, and leaving the clipboard as the program ends.
#include "qt/qt_clipboard.h"

#include "qt/qt_x11.h"

#include <QClipboard>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <utility>

namespace {

// Calls back on every key press, click or touch the application receives.
class InputWatch final : public QObject
{
public:
    explicit InputWatch(std::function<void()> arrived)
        : m_arrived(std::move(arrived))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress || type == QEvent::TouchBegin)
            m_arrived();
        return false;
    }

private:
    std::function<void()> m_arrived;
};

} // namespace

QtClipboard::QtClipboard()
{
    if (QGuiApplication::platformName().startsWith(u"wayland"))
        m_inputWatch = std::make_unique<InputWatch>([this] { inputArrived(); });
}

QtClipboard::~QtClipboard() = default;

void QtClipboard::inputArrived()
{
    if (!m_inputWatch)
        return; // one event, seen again on its way to each parent widget
    // The event's own serial is what the compositor asks for; it is Qt's once the event is here.
    // Another program that took the clipboard meanwhile keeps it.
    if (m_unconfirmed && QGuiApplication::clipboard()->ownsClipboard())
        QGuiApplication::clipboard()->setText(*m_unconfirmed, QClipboard::Clipboard);
    m_unconfirmed.reset();
    // Called from the watch's own event filter: it goes once the event has been delivered.
    m_inputWatch.release()->deleteLater();
}

// Only the CLIPBOARD selection is used, never PRIMARY, and only as plain text: the phrase
// must not turn up where a middle click pastes, nor in any richer format. Setting new data
// drops all the formats held before, and on X11 takes the selection over in one request,
// from another program or from this one alike.
void QtClipboard::replace(const QString& text)
{
    m_pending = text;
}

void QtClipboard::flush()
{
    if (!m_pending)
        return;
    const QString text = *std::exchange(m_pending, std::nullopt);
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    if (m_inputWatch && !text.isEmpty()) {
        m_unconfirmed = text;
        m_refusalTaken = false;
    }
}

bool QtClipboard::takeRefusal()
{
    return m_unconfirmed && !std::exchange(m_refusalTaken, true);
}

#if defined(LEXITROVE_X11)
namespace {

// How long requests that came before the clipboard was let go of are waited for: they are already
// on their way, so this ends the process no later than it can be seen.
constexpr std::chrono::milliseconds kLeaveClipboardGrace{50};

bool hasClipboardManager(xcb_connection_t* connection)
{
    static constexpr char name[] = "CLIPBOARD_MANAGER";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, true, sizeof name - 1, name), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    const bool managed = atom->atom != XCB_ATOM_NONE && owner && owner->owner != XCB_NONE;
    std::free(owner);
    std::free(atom);
    return managed;
}

} // namespace
#endif

// Between the end of the event loop and the closing of the connection nobody answers for the
// clipboard, yet the window system still hands requests for it to this process. A program that
// asks then waits for its own timeout, and a clipboard manager that polls, such as one that puts
// back an emptied clipboard, hangs there and never restores the phrase. Where a manager has
// claimed CLIPBOARD_MANAGER, Qt's hand-off at teardown serves every request until the manager
// owns the clipboard. Elsewhere the clipboard is let go of now: from then on the window system
// answers that it is empty, and a request that came before is refused here.
// Not on Xwayland: there the compositor keeps a copy of the X clipboard for its Wayland side,
// and takes the clipboard over when its owner disconnects, but drops it when the owner lets go
// first (GNOME's mutter does); mutter serves the phrase again within a second.
void QtClipboard::leave()
{
    flush();
#if defined(LEXITROVE_X11)
    xcb_connection_t* connection = x11Connection();
    if (!connection || !QGuiApplication::clipboard()->ownsClipboard() || hasClipboardManager(connection)
        || runsOnXwayland(connection))
        return;
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    // The round trip brings in every request sent before the clipboard was let go of; Qt's
    // reader thread passes them on within moments, and the loop below answers them.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    QEventLoop loop;
    QTimer::singleShot(kLeaveClipboardGrace, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
#endif
}
