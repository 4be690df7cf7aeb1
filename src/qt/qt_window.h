// SPDX-License-Identifier: MIT
// The main window as Qt widgets, built from the window description: standard widgets and
// actions only, so screen readers and test tools see every caption through accessibility.
#pragma once

#include "platform/controls.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QLineEdit;

// Builds and shows; what a chosen action or a close request runs is for whoever owns the
// window's events (QtPlatform) to decide.
class QtWindow final : public QMainWindow
{
public:
    // Builds the window, hidden. Needs a QApplication.
    QtWindow();

    QLineEdit& box(Box box) { return *m_boxes[std::size_t(box)]; }
    QAction& action(Item item) { return *m_actions[std::size_t(item)]; }
    // Asked each time the window is to close, by the window system or by a call of close():
    // returns whether it may. Without one, the window closes.
    void onCloseRequest(std::function<bool()> mayClose) { m_mayClose = std::move(mayClose); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls(QWidget* clientArea);
    void buildMenus();

    std::array<QLineEdit*, 3> m_boxes{}; // by Box
    std::vector<QAction*> m_actions;     // by Item
    std::function<bool()> m_mayClose;
};
