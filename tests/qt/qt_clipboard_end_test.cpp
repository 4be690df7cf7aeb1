// SPDX-License-Identifier: MIT
// What another program meets when it asks for the clipboard as the program ends, after its event
// loop and before its connection to the X server closes: on X11 without a clipboard manager, an
// answer at once, not a wait for its own timeout. Needs an X server: tests/x11/clipboard_e2e.py
// runs it on its private one.
#include "app/startup.h"
#include "qt/qt_platform.h"
#include "qt/qt_window.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>

namespace {

// Another program on the same X server, with a window to receive answers on.
class OtherProgram
{
public:
    OtherProgram()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    }
    ~OtherProgram() { xcb_disconnect(m_connection); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    bool connected() const { return !xcb_connection_has_error(m_connection); }

    // Returns once the X server has passed the request on to the clipboard's owner, if any.
    void askForClipboard()
    {
        xcb_convert_selection(m_connection, m_window, atom("CLIPBOARD"), atom("UTF8_STRING"), atom("LEXITROVE_PASTE"),
                              XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    // Answered means a SelectionNotify, with the text or with none; a request left unanswered
    // leaves the asking program waiting for its own timeout, or for ever.
    bool answeredWithin5s()
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000) {
            xcb_generic_event_t* event = xcb_poll_for_event(m_connection);
            if (!event) {
                QThread::msleep(10);
                continue;
            }
            const bool answer = (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
            std::free(event);
            if (answer)
                return true;
        }
        return false;
    }

private:
    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, false, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return value;
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_window = 0;
};

} // namespace

class QtClipboardEndTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs an X server");
    }

    // The program's own life on the real window, with the Words.TxT beside the test: a phrase,
    // then a signal to end. The request comes once the program's end has run and its connection
    // is still open.
    void requestAfterTheEnd_isAnswered()
    {
        QtWindow window;
        QtPlatform platform(window);
        bool offered = false;
        QTimer shown;
        QObject::connect(&shown, &QTimer::timeout, &window, [&] {
            if (!window.isVisible())
                return; // still starting up
            shown.stop();
            window.action(Item::W3).trigger();
            offered = QGuiApplication::clipboard()->ownsClipboard();
            platform.requestEnd(128 + SIGTERM);
        });
        shown.start(0);
        QCOMPARE(runProgram(platform), 128 + SIGTERM);
        QVERIFY(offered);

        OtherProgram other;
        QVERIFY(other.connected());
        other.askForClipboard();
        QVERIFY2(other.answeredWithin5s(), "no answer to a request for the clipboard after the program ended, in 5 s");
    }

    // A request already on its way when the clipboard is let go of, which no event loop will
    // handle any more.
    void requestOnItsWayAtTheEnd_isAnswered()
    {
        QtWindow window;
        QtPlatform platform(window);
        platform.replaceClipboard(u"a phrase");
        QVERIFY(QGuiApplication::clipboard()->ownsClipboard());
        OtherProgram other;
        QVERIFY(other.connected());
        other.askForClipboard();
        platform.leaveClipboard();
        QVERIFY2(other.answeredWithin5s(),
                 "no answer to a request for the clipboard made as the program ended, in 5 s");
    }
};

QTEST_MAIN(QtClipboardEndTest)
#include "qt_clipboard_end_test.moc"
