// SPDX-License-Identifier: MIT
// What happens to a request for the clipboard that another program makes as the program ends,
// after its event loop and before its connection to the X server closes: on X11 without a
// clipboard manager, it is answered at once. Needs an X server: tests/x11/clipboard_e2e.py runs it
// on its private one.
#include "platform/qt_platform.h"
#include "ui/qt_window.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

} // namespace

class QtClipboardEndTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestMadeAsTheProgramEnds_isAnswered()
    {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs an X server");
        // Another program, with a window to receive the answer on.
        xcb_connection_t* other = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(other));
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(other)).data;
        const xcb_window_t requestor = xcb_generate_id(other);
        xcb_create_window(other, XCB_COPY_FROM_PARENT, requestor, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const xcb_atom_t clipboard = atom(other, "CLIPBOARD");

        QtWindow window;
        QtPlatform platform(window);
        platform.replaceClipboard(QStringLiteral("a phrase"));
        platform.pumpEvents(); // hands the phrase to the desktop, as the end of a command does
        QVERIFY(QGuiApplication::clipboard()->ownsClipboard());

        // The event loop has ended (none runs in this test) when the other program asks. Its round
        // trip returns once the X server has passed the request on to this program.
        xcb_convert_selection(other, requestor, clipboard, atom(other, "UTF8_STRING"), atom(other, "LEXITROVE_PASTE"),
                              XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
        platform.leaveClipboard();

        // Answered means a SelectionNotify, with the text or with none; a request left unanswered
        // leaves the other program waiting for its own timeout, or for ever.
        bool answered = false;
        QElapsedTimer waited;
        waited.start();
        while (!answered && waited.elapsed() < 5000) {
            xcb_generic_event_t* event = xcb_poll_for_event(other);
            if (!event) {
                QThread::msleep(10);
                continue;
            }
            answered = (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
            std::free(event);
        }
        xcb_disconnect(other);
        QVERIFY2(answered, "no answer to a request for the clipboard made as the program ended, in 5 s");
    }
};

QTEST_MAIN(QtClipboardEndTest)
#include "qt_clipboard_end_test.moc"
