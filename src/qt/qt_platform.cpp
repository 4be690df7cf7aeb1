// SPDX-License-Identifier: MIT
// Qt behind the platform seam: every operation the logic asks of the desktop, and the window's
// events handed to the window object one at a time.
#include "qt/qt_platform.h"

#include "qt/qt_text.h"
#include "qt/qt_window.h"
#include "system/file_input.h"
#include "system/program_folder.h"
#include "system/system_random.h"
#include "ui/window_description.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTime>
#include <QTimer>
#include <QWindow>

QtPlatform::QtPlatform(QtWindow& window)
    : m_window(window)
    , m_motion(window)
    , m_busy(window)
{
    // The boxes' texts as the window description starts them; no sink yet, so no event.
    for (const WindowDescription::Control& row : WindowDescription::controls()) {
        if (row.box)
            setText(*row.box, std::u16string(row.text));
    }
    for (const WindowDescription::MenuRow& row : WindowDescription::menuTree())
        connect(&m_window.action(row.item), &QAction::triggered, this, [this, item = row.item] { chosen(item); });
    m_window.onCloseRequest([this] { return mayClose(); });
}

QtPlatform::~QtPlatform()
{
    m_window.onCloseRequest(nullptr);
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

template <typename Event>
auto QtPlatform::dispatch(Event event)
{
    struct Depth
    {
        QtPlatform& platform;
        explicit Depth(QtPlatform& owner)
            : platform(owner)
        {
            ++platform.m_depth;
        }
        ~Depth()
        {
            if (--platform.m_depth == 0)
                platform.afterOutermostEvent();
        }
    } depth(*this);
    return event();
}

void QtPlatform::chosen(Item item)
{
    // While a command reads, the event loop runs inside it: a command chosen meanwhile through
    // accessibility, which no input filter sees, would run inside the other.
    if (m_busy.serving() || !eventSink())
        return;
    dispatch([this, item] { eventSink()->choose(item); });
}

bool QtPlatform::mayClose()
{
    // Asked while a command reads the word list: the command stops without a phrase, and the
    // window closes as usual once it has returned, with no handler run inside another.
    if (m_busy.serving()) {
        m_busy.whenStopped([this] { m_window.close(); });
        return false;
    }
    if (m_closing)
        return false;
    m_closing = true;
    // A menu left open would stay behind on the screen while the window slides away, and take
    // the keys; nothing chosen in it could run anyway.
    for (QWidget* popup = QApplication::activePopupWidget(); popup;) {
        popup->close();
        QWidget* next = QApplication::activePopupWidget();
        popup = next != popup ? next : nullptr;
    }
    // While the close request runs, and for good once the window may close, the window acts on
    // no input: the closing sequence lets the event loop run between its passes.
    qApp->installEventFilter(this);
    m_motion.holdGeometry();
    const bool closes = dispatch([this] { return !eventSink() || eventSink()->closeRequested(); });
    m_motion.settle();
    if (!closes) {
        qApp->removeEventFilter(this);
        m_closing = false;
    }
    return closes;
}

bool QtPlatform::eventFilter(QObject* watched, QEvent* event)
{
    if (isUserInput(event->type()))
        return true;
    // A second request from the window system: Qt would take the window down at once, in the
    // middle of its animation.
    return event->type() == QEvent::Close && watched == m_window.windowHandle();
}

void QtPlatform::afterOutermostEvent()
{
    m_clipboard.flush();
    // Where the desktop may have refused the phrase, say so once for each offer, also one made
    // while a command paused (Copy Text), and how to put it right. Outside any handler, so the
    // notice waits on its own; its OK, clicked or keyed, is the input event that offers the
    // phrase again.
    if (m_ended || !m_clipboard.takeRefusal())
        return;
    try {
        messageBox(u"The desktop may not have taken the phrase onto the clipboard: it was made before any key press "
                   u"or click reached Lexitrove. Choose Copy Text to put it there.",
                   MessageIcon::Exclamation, u"Lexitrove");
    } catch (const ProcessEnd&) {
    }
}

void QtPlatform::throwIfEnded() const
{
    if (m_ended)
        throw ProcessEnd{};
}

void QtPlatform::requestEnd(int exitStatus)
{
    m_busy.whenStopped([this, exitStatus] {
        if (m_ended)
            return;
        try {
            endProcess(exitStatus);
        } catch (const ProcessEnd&) {
            // Nothing to unwind here: the event loop is on its way out.
        }
    });
}

void QtPlatform::showWindow()
{
    m_window.show();
}

int QtPlatform::runEventLoop()
{
    return QCoreApplication::exec();
}

void QtPlatform::leaveClipboard()
{
    m_clipboard.leave();
}

std::u16string QtPlatform::applicationFolder()
{
    return programFolder();
}

std::unique_ptr<InputFile> QtPlatform::openForInput(const std::u16string& path)
{
    return openFileForInput(path);
}

void QtPlatform::messageBox(const std::u16string& prompt, MessageIcon icon, const std::u16string& title)
{
    // Prompts break their lines with CR LF; a label shows a lone CR as a line break of its own.
    QString shown = toQString(prompt);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    // A command that cannot make a phrase has emptied the clipboard before it says why.
    m_clipboard.flush();
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::Warning, toQString(title),
                    shown, QMessageBox::Ok, m_window.isVisible() ? &m_window : nullptr);
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

std::uint64_t QtPlatform::randomBits()
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
    m_clipboard.flush();
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(IdleWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    throwIfEnded();
}

void QtPlatform::serveWhileReading()
{
    m_busy.serve();
    throwIfEnded();
}

void QtPlatform::waitForNextFrame()
{
    m_motion.waitForNextPass();
    throwIfEnded(); // a signal to end cuts the closing animation short
}

void QtPlatform::showText(Box box, const std::u16string& text)
{
    QLineEdit& edit = m_window.box(box);
    edit.setText(toQString(text));
    // A phrase longer than the box shows from its start.
    edit.setCursorPosition(0);
}

void QtPlatform::setCaption(Item item, const std::u16string& caption)
{
    m_window.action(item).setText(toQString(caption));
}

void QtPlatform::setEnabled(Item item, bool enabled)
{
    m_window.action(item).setEnabled(enabled);
}

void QtPlatform::replaceClipboard(const std::u16string& text)
{
    m_clipboard.replace(toQString(text));
    // Written outside any event of the window: nothing else would hand it over.
    if (m_depth == 0)
        afterOutermostEvent();
}
