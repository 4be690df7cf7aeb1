// SPDX-License-Identifier: MIT
// The platform layer on Qt Widgets: builds the main window from its description and carries
// out every operation the logic asks for.
#pragma once

#include "ui/platform.h"
#include "ui/qt_window_motion.h"

#include <QHash>

#include <memory>

class QAction;
class QtWindow;
class QLineEdit;
class QMainWindow;
class QWidget;

class QtPlatform final : public Platform
{
public:
    // Builds the window, hidden. Needs a QApplication.
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // Shows the window at the system's default position.
    void showWindow();
    int exitStatus() const { return m_exitStatus; }
    QMainWindow* window() const;
    QAction* action(const QString& name) const;
    QWidget* control(const QString& name) const;

    void setEventSink(EventSink* sink) override { m_sink = sink; }
    QString applicationFolder() override;
    std::unique_ptr<InputFile> openForInput(const QString& path, int fileNumber) override;
    void messageBox(const QString& prompt, int buttons, const QString& title) override;
    [[noreturn]] void endProcess(int exitStatus) override;
    bool hasEnded() const override { return m_ended; }
    float timeOfDay() override;
    void reseed(float seed) override;
    quint64 randomBits() override;
    void pumpEvents() override;
    QString upperCase(const QString& text) override;
    QString lowerCase(const QString& text) override;
    QString text(const QString& box) override;
    void setText(const QString& box, const QString& text) override;
    void setCaption(const QString& item, const QString& caption) override;
    void setEnabled(const QString& item, bool enabled) override;
    void replaceClipboard(const QString& text) override;
    float geometry(Geometry which) override;
    void setGeometry(Geometry which, float twips) override;
    float screenWidth() override;
    void waitForNextFrame() override;

private:
    void throwIfEnded() const;
    double dpi() const;

    std::unique_ptr<QtWindow> m_window;
    QHash<QString, QString> m_texts; // the boxes' texts exactly as written
    EventSink* m_sink = nullptr;
    bool m_ended = false;
    int m_exitStatus = 0;
    bool m_listFileOpen = false;
    WindowMotion m_motion; // paces and shows the moves of the closing animation
};
