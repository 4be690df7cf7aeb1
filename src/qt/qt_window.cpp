// SPDX-License-Identifier: MIT
// Widgets and actions of the main window, row by row from the window description.
#include "qt/qt_window.h"

#include "qt/qt_text.h"
#include "ui/window_description.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <limits>

namespace WD = WindowDescription;

namespace {

// "Courier New" bold, or a monospace face of the same metrics where it is not installed.
QFont courierBold(double points)
{
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"),
                      QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(points);
    font.setWeight(QFont::Bold);
    return font;
}

} // namespace

QtWindow::QtWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(WD::Caption));
    // The icon is built in, so the window has it wherever the program runs from; where the
    // window system shows the desktop entry's icon instead (Wayland), the entry's name finds it.
    setWindowIcon(QIcon(QStringLiteral(":/lexitrove/lexitrove.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("lexitrove"));
    auto* clientArea = new QWidget;
    clientArea->setObjectName(QStringLiteral("clientArea"));
    QPalette palette = clientArea->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(QRgb(WD::BackgroundRgb)));
    clientArea->setPalette(palette);
    clientArea->setAutoFillBackground(true);
    setCentralWidget(clientArea);
    buildControls(clientArea);
    buildMenus();
    const int clientWidth = WD::toPixels(WD::ClientWidthTwips, logicalDpiX());
    const int clientHeight = WD::toPixels(WD::ClientHeightTwips, logicalDpiX());
    // A fixed size: tiling window managers and compositors (sway, i3) float a window that cannot
    // be resized at the size it asks for, rather than stretch the long, low bar over the screen.
    setFixedSize(clientWidth, clientHeight + menuBar()->sizeHint().height());
}

void QtWindow::closeEvent(QCloseEvent* event)
{
    event->setAccepted(!m_mayClose || m_mayClose());
}

void QtWindow::buildControls(QWidget* clientArea)
{
    const double dpi = logicalDpiX();
    for (const WD::Control& row : WD::controls()) {
        const QString name = toQString(row.name);
        QWidget* widget = nullptr;
        if (row.kind == WD::ControlKind::ComboBox) {
            auto* combo = new QComboBox(clientArea);
            combo->setEditable(true);
            combo->setEditText(toQString(row.text));
            widget = combo;
        } else {
            auto* edit = new QLineEdit(clientArea);
            edit->setMaxLength(std::numeric_limits<int>::max());
            edit->setText(toQString(row.text));
            if (row.box)
                m_boxes[std::size_t(*row.box)] = edit;
            widget = edit;
        }
        widget->setObjectName(name);
        widget->setAccessibleName(name);
        // A hidden control is a window of its own that is never shown: it stays out of the main
        // window's tree of widgets, which assistive technology walks, so neither it nor what the
        // program keeps in it (the scratch box holds a whole phrase at times) reaches anyone.
        if (!row.visible)
            widget->setWindowFlags(Qt::Window);
        widget->setGeometry(WD::toPixels(row.left, dpi), WD::toPixels(row.top, dpi), WD::toPixels(row.width, dpi),
                            WD::toPixels(row.height, dpi));
        if (row.fontPoints > 0)
            widget->setFont(courierBold(row.fontPoints));
        if (!row.toolTip.empty())
            widget->setToolTip(toQString(row.toolTip));
        widget->setEnabled(row.enabled);
        if (!row.enabled) {
            // The phrase box takes no input, but the phrase is there to be read: keep its text
            // as dark as in an enabled box instead of the pale grey of a disabled one.
            QPalette boxPalette = widget->palette();
            boxPalette.setColor(QPalette::Disabled, QPalette::Text, boxPalette.color(QPalette::Active, QPalette::Text));
            widget->setPalette(boxPalette);
        }
        widget->setVisible(row.visible);
    }
}

void QtWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* list = nullptr;
    for (const WD::MenuRow& row : WD::menuTree()) {
        const QString name = toQString(row.name);
        QAction* action = nullptr;
        switch (row.kind) {
        case WD::MenuKind::Menu:
            list = bar->addMenu(toQString(row.caption));
            list->setObjectName(name);
            // Each list opens and closes with a separator, drawn as a dividing line: Qt would
            // otherwise hide a separator at either end of a menu, and a few pixels keep the line
            // apart from the list's frame, where the eye would not tell them apart.
            list->setSeparatorsCollapsible(false);
            list->setContentsMargins(0, 3, 0, 3);
            action = list->menuAction();
            break;
        case WD::MenuKind::Separator:
            action = list->addSeparator();
            break;
        case WD::MenuKind::Command:
            action = list->addAction(toQString(row.caption));
            break;
        case WD::MenuKind::BarCommand:
        case WD::MenuKind::BarLabel:
            action = bar->addAction(toQString(row.caption));
            break;
        }
        action->setObjectName(name);
        m_actions.push_back(action);
    }
}
