// SPDX-License-Identifier: MIT
// Qt behind the platform seam: every operation the logic asks of the desktop.
#include "platform/qt_platform.h"

#include "platform/file_input.h"
#include "platform/qt_x11.h"
#include "platform/system_random.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QTime>
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

QtPlatform::QtPlatform(QtFormWindow& window)
    : m_window(window)
{
    for (const Box box : {Box::Text1, Box::Text2, Box::Text3})
        m_texts[std::size_t(box)] = m_window.box(box).text();
    if (QGuiApplication::platformName().startsWith(u"wayland")) {
        m_inputWatch = std::make_unique<InputWatch>([this] { inputArrived(); });
    }
}

QtPlatform::~QtPlatform() = default;

void QtPlatform::inputArrived()
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

void QtPlatform::setEventSink(EventSink* sink)
{
    m_sink.sink = sink;
    m_window.setEventSink(sink ? &m_sink : nullptr);
}

template <typename Call>
auto QtPlatform::FlushingSink::flushingAfter(Call call)
{
    struct Depth
    {
        FlushingSink& self;
        explicit Depth(FlushingSink& sink) : self(sink) { ++self.m_depth; }
        ~Depth()
        {
            if (--self.m_depth == 0) {
                self.m_platform.flushClipboard();
                self.m_platform.reportUnconfirmedClipboard();
            }
        }
    } depth(*this);
    return call();
}

void QtPlatform::FlushingSink::run(Handler handler)
{
    flushingAfter([&] { sink->run(handler); });
}

void QtPlatform::FlushingSink::phraseChanged()
{
    flushingAfter([&] { sink->phraseChanged(); });
}

bool QtPlatform::FlushingSink::closeRequested()
{
    return flushingAfter([&] { return sink->closeRequested(); });
}

void QtPlatform::throwIfEnded() const
{
    if (m_ended)
        throw ProcessEnd{};
}

QString QtPlatform::applicationFolder()
{
    const QString folder = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

std::unique_ptr<InputFile> QtPlatform::openForInput(const QString& path)
{
    return openFileForInput(path);
}

void QtPlatform::messageBox(const QString& prompt, MessageButtons, MessageIcon icon, const QString& title)
{
    // Prompts break their lines with CR LF; a label shows a lone CR as a line break of its own.
    QString shown = prompt;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    // A command that cannot make a phrase has emptied the clipboard before it says why.
    flushClipboard();
    QMainWindow& window = m_window.widget();
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::Warning, title, shown,
                    QMessageBox::Ok, window.isVisible() ? &window : nullptr);
    box.setObjectName(QStringLiteral("messageBox"));
    // A prompt may carry a file name or an error text: never let it be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
    throwIfEnded();
}

void QtPlatform::endProcess(int exitStatus)
{
    m_ended = true;
    m_exitStatus = exitStatus;
    // Leave through exec() and the application's teardown, never std::exit: only then does
    // Qt hand the clipboard to the desktop's clipboard manager.
    QCoreApplication::exit(exitStatus);
    throw ProcessEnd{};
}

float QtPlatform::timeOfDay()
{
    return float(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
}

quint64 QtPlatform::randomBits()
{
    return systemRandomBits();
}

void QtPlatform::pumpEvents()
{
    // With events queued, one pass of the event loop handles all of them and returns at once.
    // With none, it sleeps until the next one or until this timer, so that a caller polling the
    // clock (the Copy Text pause) neither spins a core nor oversleeps its deadline by more than
    // a few milliseconds.
    constexpr int IdleWaitMs = 5;
    // Paused inside a command (Copy Text): the desktop has the phrase meanwhile.
    flushClipboard();
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(IdleWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    throwIfEnded();
}

QString QtPlatform::text(Box box)
{
    return m_texts[std::size_t(box)];
}

void QtPlatform::setText(Box box, const QString& text)
{
    m_texts[std::size_t(box)] = text;
    QLineEdit& edit = m_window.box(box);
    edit.setText(text);
    edit.setCursorPosition(0);
    if (box == Box::Text1 && m_sink.sink)
        m_sink.phraseChanged();
}

void QtPlatform::setCaption(Item item, const QString& caption)
{
    m_window.action(item).setText(caption);
}

void QtPlatform::setEnabled(Item item, bool enabled)
{
    m_window.action(item).setEnabled(enabled);
}

// Only the CLIPBOARD selection is used, never PRIMARY, and only as plain text: the phrase
// must not turn up where a middle click pastes, nor in any richer format. Setting new data
// drops all the formats held before, and on X11 takes the selection over in one request,
// from another program or from this one alike. The text reaches the desktop at the next flush:
// when the event's handler returns, before a message box waits, while a command pauses, and as
// the process ends.
void QtPlatform::replaceClipboard(const QString& text)
{
    m_pendingClipboard = text;
}

void QtPlatform::flushClipboard()
{
    if (!m_pendingClipboard)
        return;
    const QString text = *std::exchange(m_pendingClipboard, std::nullopt);
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    if (m_inputWatch && !text.isEmpty()) {
        m_unconfirmed = text;
        m_unconfirmedReported = false;
    }
}

void QtPlatform::reportUnconfirmedClipboard()
{
    // Once for each offer, also one made while a command paused (Copy Text).
    if (m_ended || !m_unconfirmed || std::exchange(m_unconfirmedReported, true))
        return;
    // Outside any handler, so the notice waits on its own; its OK, clicked or keyed, is the
    // input event that offers the phrase again.
    try {
        messageBox(QStringLiteral("The desktop may not have taken the phrase onto the clipboard: it was made "
                                  "before any key press or click reached Lexitrove. Choose Copy Text to put "
                                  "it there."),
                   MessageButtons::Ok, MessageIcon::Exclamation, QStringLiteral("Lexitrove"));
    } catch (const ProcessEnd&) {
    }
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
void QtPlatform::leaveClipboard()
{
    flushClipboard();
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
