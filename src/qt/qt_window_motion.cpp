// SPDX-License-Identifier: MIT
// Pacing and flushing the moves of the closing animation, and serving the window system between them.
#include "qt/qt_window_motion.h"

#include "qt/qt_x11.h"
#include "ui/window_description.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {

// Hands the requests queued on the connection to the window system now, rather than whenever Qt
// next gets round to it.
void flushConnection()
{
#if defined(LEXITROVE_X11)
    if (xcb_connection_t* connection = x11Connection())
        xcb_flush(connection);
#endif
}

#if defined(LEXITROVE_X11)
class HeldX11Geometry final : public QAbstractNativeEventFilter
{
public:
    explicit HeldX11Geometry(xcb_window_t window)
        : m_window(window)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~HeldX11Geometry() override
    {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
    }
    HeldX11Geometry(const HeldX11Geometry&) = delete;
    HeldX11Geometry& operator=(const HeldX11Geometry&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        // The window manager's own reports come as sent events, hence the top bit masked off.
        if ((event->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY)
            return false;
        return static_cast<const xcb_configure_notify_event_t*>(message)->window == m_window;
    }

private:
    xcb_window_t m_window;
};
#endif

} // namespace

namespace WD = WindowDescription;

WindowMotion::WindowMotion(QWidget& window)
    : m_window(window)
{
}

WindowMotion::~WindowMotion() = default;

double WindowMotion::dpi() const
{
    return m_window.logicalDpiX();
}

QRect WindowMotion::outerGeometry() const
{
    return m_outer.value_or(m_window.frameGeometry());
}

float WindowMotion::geometry(Geometry which) const
{
    const QRect outer = outerGeometry();
    const double perPixel = WD::TwipsPerInch / dpi();
    switch (which) {
    case Geometry::Top: return float(outer.top() * perPixel);
    case Geometry::Left: return float(outer.left() * perPixel);
    case Geometry::Width: return float(outer.width() * perPixel);
    case Geometry::Height: return float(outer.height() * perPixel);
    }
    return 0.0f;
}

void WindowMotion::setGeometry(Geometry which, float twips)
{
    if (m_window.isMinimized() || m_window.isMaximized() || m_window.isFullScreen())
        throw PlatformError{ErrorNumber::WindowNotMovable,
                            u"A minimised, maximised or full-screen window is not moved"};
    const double pixelsExact = double(twips) * dpi() / WD::TwipsPerInch;
    if (!(qAbs(pixelsExact) <= QWIDGETSIZE_MAX))
        throw PlatformError{ErrorNumber::Overflow, u"Overflow"};
    const int pixels = WD::toPixels(twips, dpi());
    // The window is never smaller than its frame and one pixel inside it.
    const QSize decoration = m_window.frameGeometry().size() - m_window.size();
    QRect outer = outerGeometry();
    switch (which) {
    case Geometry::Top:
        // Each move of the top edge sets when the closing sequence's next pass is due.
        if (const QScreen* screen = m_window.screen())
            m_pace.noteTopMove(outer.top(), pixels, screen->geometry().width());
        outer.moveTop(pixels);
        break;
    case Geometry::Left: outer.moveLeft(pixels); break;
    case Geometry::Width: outer.setWidth(qMax(pixels, decoration.width() + 1)); break;
    case Geometry::Height: outer.setHeight(qMax(pixels, decoration.height() + 1)); break;
    }
    m_outer = outer;
    if (!m_behind)
        applyGeometry();
}

// A Wayland compositor places every window itself, and Qt would report a move as done and later
// put the window back. There the place stays the program's own: kept and read back, never sent,
// so that the closing still plays, by its size steps alone, at its pace.
void WindowMotion::applyGeometry()
{
    if (!m_outer)
        return;
    const QRect frame = m_window.frameGeometry();
    const QSize decoration = frame.size() - m_window.size();
    const bool placedByCompositor = QGuiApplication::platformName().startsWith(u"wayland");
    if (!placedByCompositor && m_outer->topLeft() != frame.topLeft())
        m_window.move(m_outer->topLeft());
    const QSize inner = m_outer->size() - decoration;
    if (inner != m_window.size())
        resize(inner);
    if (!placedByCompositor)
        m_outer.reset();
    // The new geometry goes to the window system now; the event loop repaints the window between
    // passes, at most once for all the resizes that came since.
    if (m_window.isVisible())
        flushConnection();
}

void WindowMotion::resize(QSize size)
{
    // A window of fixed size (see QtWindow) stays fixed at its new size: a window manager draws
    // a resizable window's frame otherwise (openbox adds a grip below it), which would grow it.
    if (m_window.minimumSize() == m_window.maximumSize())
        m_window.setFixedSize(size);
    else
        m_window.resize(size);
}

float WindowMotion::screenWidth() const
{
    const QScreen* screen = m_window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? float(screen->geometry().width() * WD::TwipsPerInch / dpi()) : 0.0f;
}

void WindowMotion::waitForNextPass()
{
    const ClosingPace::Clock::time_point until = m_pace.nextPass();
    bool due = false;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&due] { due = true; });
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - ClosingPace::Clock::now());
    timer.start(std::max(left, std::chrono::milliseconds{0}));
    // Behind time, the window is neither repainted nor moved until the run has caught up: the
    // geometry is kept and sent in one go at the next pass on time. Where each repaint waits for
    // the window system (Xwayland on a loaded machine), the number of passes, not the pace, would
    // otherwise set the closing's length; and the passes' requests, sent faster than a busy
    // server reads them, filled the connection and blocked the program in the middle of a move.
    m_behind = left <= std::chrono::milliseconds{0};
    m_window.setUpdatesEnabled(!m_behind);
    if (!m_behind)
        applyGeometry();
    // Clicks, keys and a second close request stay queued; once they come through, the platform
    // throws them away.
    while (!due)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    m_pace.passBegun();
}

void WindowMotion::holdGeometry()
{
#if defined(LEXITROVE_X11)
    // Only X11 window managers answer moves late. On Wayland the moves are refused (setGeometry);
    // elsewhere a move is reported as it is made.
    if (x11Connection() && m_window.windowHandle())
        m_held = std::make_unique<HeldX11Geometry>(xcb_window_t(m_window.winId()));
#endif
}

void WindowMotion::settle()
{
    m_behind = false;
    m_window.setUpdatesEnabled(true);
    applyGeometry();
    m_held.reset();
}
