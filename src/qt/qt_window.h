// SPDX-License-Identifier: MIT
// The main window as Qt widgets, built from the window description: standard widgets and
// actions only, so screen readers and test tools see every caption through accessibility.
#pragma once

#include "platform/qt_platform.h"
#include "ui/qt_busy_serving.h"
#include "ui/qt_window_motion.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <vector>

class QAbstractNativeEventFilter;
class QAction;
class QLineEdit;

class QtWindow final : public QMainWindow, public QtFormWindow
{
public:
    // Builds the window, hidden. Needs a QApplication.
    QtWindow();
    ~QtWindow() override;

    QMainWindow& widget() override { return *this; }
    QLineEdit& box(Box box) override { return *m_boxes[std::size_t(box)]; }
    QAction& action(Item item) override { return *m_actions[std::size_t(item)]; }
    // Each menu command runs its row's handler through `sink`, and close requests go there.
    void setEventSink(EventSink* sink) override { m_sink = m_busy.guard(sink); }
    float geometry(Geometry which) override { return m_motion.geometry(which); }
    void setGeometry(Geometry which, float twips) override { m_motion.setGeometry(which, twips); }
    float screenWidth() override { return m_motion.screenWidth(); }
    void waitForNextFrame() override { m_motion.waitForNextPass(); }
    void serveWhileReading() override { m_busy.serve(); }
    // A request to end from outside the window (a signal): carried out now, or, while a command
    // reads, once it has stopped without a phrase and returned.
    void endRequested(std::function<void()> end) { m_busy.whenStopped(std::move(end)); }

protected:
    // While the close request runs, and for good once the window may close, the window acts on
    // no input: the closing sequence lets the event loop run between its passes.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls(QWidget* clientArea);
    void buildMenus();

    EventSink* m_sink = nullptr;
    std::array<QLineEdit*, 3> m_boxes{}; // by Box
    std::vector<QAction*> m_actions;     // by Item
    WindowMotion m_motion{*this};
    BusyServing m_busy{*this};
    bool m_closing = false;
    std::unique_ptr<QAbstractNativeEventFilter> m_heldGeometry;
};
