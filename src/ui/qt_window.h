// SPDX-License-Identifier: MIT
// The main window as Qt widgets, built from the window description: standard widgets and
// actions only, so screen readers and test tools see every caption through accessibility.
#pragma once

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAbstractNativeEventFilter;
class QAction;

class QtWindow final : public QMainWindow
{
public:
    // `onChoose` gets the name of each command chosen; `onClose` runs when the desktop asks to
    // close the window and returns whether the window may close.
    QtWindow(std::function<void(const QString& item)> onChoose, std::function<bool()> onClose);
    ~QtWindow() override;

    // A menu item or a control by its name in the window description ("W3", "Ct1", "Text1", ...).
    QAction* action(const QString& name) const { return m_actions.value(name); }
    QWidget* control(const QString& name) const { return m_controls.value(name); }

protected:
    // While `onClose` runs, and for good once the window may close, the window acts on no
    // input: the closing sequence lets the event loop run between its passes.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls(QWidget* clientArea);
    void buildMenus();

    std::function<void(const QString&)> m_onChoose;
    std::function<bool()> m_onClose;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QWidget*> m_controls;
    bool m_closing = false;
    std::unique_ptr<QAbstractNativeEventFilter> m_heldGeometry;
};
