// SPDX-License-Identifier: MIT
// Qt Widgets behind the platform seam: every operation the logic asks of the desktop.
#include "ui/qt_platform.h"

#include "ui/file_input.h"
#include "ui/simple_case.h"
#include "ui/qt_window.h"
#include "ui/system_random.h"
#include "ui/window_description.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QTime>
#include <QTimer>

namespace WD = WindowDescription;

QtPlatform::QtPlatform()
    : m_window(std::make_unique<QtWindow>(
          [this](const QString& item) {
              if (m_sink && !m_ended)
                  m_sink->raise(item, EventKind::Click);
          },
          [this] {
              qint16 cancel = 0;
              if (m_sink && !m_ended)
                  m_sink->raise(QStringLiteral("Form1"), EventKind::Unload, &cancel);
              return cancel == 0 || m_ended;
          }))
{
    for (const WD::Control& row : WD::controls()) {
        if (row.kind == WD::ControlKind::TextBox)
            m_texts.insert(QString::fromUtf16(row.name), QString::fromUtf16(row.text));
    }
}

QtPlatform::~QtPlatform() = default;

QMainWindow* QtPlatform::window() const
{
    return m_window.get();
}

QAction* QtPlatform::action(const QString& name) const
{
    return m_window->action(name);
}

QWidget* QtPlatform::control(const QString& name) const
{
    return m_window->control(name);
}

double QtPlatform::dpi() const
{
    return m_window->logicalDpiX();
}

void QtPlatform::showWindow()
{
    m_window->show();
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

std::unique_ptr<InputFile> QtPlatform::openForInput(const QString& path, int fileNumber)
{
    Q_ASSERT(fileNumber == 1);
    return openFileForInput(path, m_listFileOpen);
}

void QtPlatform::messageBox(const QString& prompt, int buttons, const QString& title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (buttons & 0x70) {
    case 16: icon = QMessageBox::Critical; break;
    case 32: icon = QMessageBox::Question; break;
    case 48: icon = QMessageBox::Warning; break;
    case 64: icon = QMessageBox::Information; break;
    default: break;
    }
    // Prompts break their lines with CR LF; a label shows a lone CR as a line break of its own.
    QString shown = prompt;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    QWidget* parent = m_window->isVisible() ? m_window.get() : nullptr;
    QMessageBox box(icon, title, shown, QMessageBox::Ok, parent);
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

void QtPlatform::reseed(float)
{
    // The system's cryptographic generator takes no seed: the time of day adds nothing an
    // attacker could not guess, so it is left out rather than weakening the draw.
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
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(IdleWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    throwIfEnded();
}

QString QtPlatform::upperCase(const QString& text)
{
    return simpleUpperCase(text);
}

QString QtPlatform::lowerCase(const QString& text)
{
    return simpleLowerCase(text);
}

QString QtPlatform::text(const QString& box)
{
    Q_ASSERT(m_texts.contains(box));
    return m_texts.value(box);
}

void QtPlatform::setText(const QString& box, const QString& text)
{
    Q_ASSERT(m_texts.contains(box));
    m_texts[box] = text;
    if (auto* edit = qobject_cast<QLineEdit*>(m_window->control(box))) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
    if (box == u"Text1" && m_sink)
        m_sink->raise(box, EventKind::Change);
}

void QtPlatform::setCaption(const QString& item, const QString& caption)
{
    Q_ASSERT(m_window->action(item));
    m_window->action(item)->setText(caption);
}

void QtPlatform::setEnabled(const QString& item, bool enabled)
{
    Q_ASSERT(m_window->action(item));
    m_window->action(item)->setEnabled(enabled);
}

// Only the CLIPBOARD selection is used, never PRIMARY, and only as plain text: the phrase
// must not turn up where a middle click pastes, nor in any richer format. Setting new data
// drops all the formats held before, and on X11 takes the selection over in one request,
// from another program or from this one alike.
void QtPlatform::replaceClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

float QtPlatform::geometry(Geometry which)
{
    const QRect frame = m_window->frameGeometry();
    const double perPixel = WD::TwipsPerInch / dpi();
    switch (which) {
    case Geometry::Top: return float(frame.top() * perPixel);
    case Geometry::Left: return float(frame.left() * perPixel);
    case Geometry::Width: return float(frame.width() * perPixel);
    case Geometry::Height: return float(frame.height() * perPixel);
    }
    return 0.0f;
}

void QtPlatform::setGeometry(Geometry which, float twips)
{
    if (m_window->isMinimized() || m_window->isMaximized() || m_window->isFullScreen())
        throw PlatformError{384, QStringLiteral("A form can't be moved or sized while minimized or maximized")};
    // A Wayland compositor places every window itself; Qt would report the move as done and
    // later put the window back where it was.
    if ((which == Geometry::Top || which == Geometry::Left) && QGuiApplication::platformName().startsWith(u"wayland"))
        throw PlatformError{384, QStringLiteral("The window system does not let a program move its window")};
    const double pixelsExact = double(twips) * dpi() / WD::TwipsPerInch;
    if (!(qAbs(pixelsExact) <= QWIDGETSIZE_MAX))
        throw PlatformError{ErrorNumber::Overflow, QStringLiteral("Overflow")};
    const int pixels = WD::toPixels(twips, dpi());
    const QRect frame = m_window->frameGeometry();
    const QSize decoration = frame.size() - m_window->size();
    switch (which) {
    case Geometry::Top:
        // Each move of the top edge sets when the closing sequence's next pass is due.
        if (const QScreen* screen = m_window->screen())
            m_motion.noteTopMove(frame.top(), pixels, screen->geometry().width());
        m_window->move(frame.left(), pixels);
        break;
    case Geometry::Left: m_window->move(pixels, frame.top()); break;
    case Geometry::Width: m_window->resize(qMax(pixels - decoration.width(), 1), m_window->height()); break;
    case Geometry::Height: m_window->resize(m_window->width(), qMax(pixels - decoration.height(), 1)); break;
    }
    WindowMotion::sendNow(*m_window);
}

float QtPlatform::screenWidth()
{
    const QScreen* screen = m_window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? float(screen->geometry().width() * WD::TwipsPerInch / dpi()) : 0.0f;
}

void QtPlatform::waitForNextFrame()
{
    m_motion.waitForNextPass();
}
