// SPDX-License-Identifier: MIT
// The platform on Qt: every operation the logic asks of the desktop, carried out on the main
// window that the Qt window (src/ui/qt_window) builds.
#pragma once

#include "platform/platform.h"

#include <array>
#include <memory>
#include <optional>

class QAction;
class QLineEdit;
class QMainWindow;
class QObject;

// The main window as QtPlatform works it: its widgets, its geometry and where its menu commands
// and close requests go.
class QtFormWindow
{
public:
    virtual QMainWindow& widget() = 0;
    virtual QLineEdit& box(Box box) = 0;
    virtual QAction& action(Item item) = 0;
    virtual void setEventSink(EventSink* sink) = 0;
    // As Platform's geometry operations, which QtPlatform hands on.
    virtual float geometry(Geometry which) = 0;
    virtual void setGeometry(Geometry which, float twips) = 0;
    virtual float screenWidth() = 0;
    virtual void waitForNextFrame() = 0;
    virtual void serveWhileReading() = 0;

protected:
    ~QtFormWindow() = default;
};

class QtPlatform final : public Platform
{
public:
    // Needs a QApplication; `window` must outlive the platform.
    explicit QtPlatform(QtFormWindow& window);
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    int exitStatus() const { return m_exitStatus; }
    // Call once the event loop has ended: hands the phrase to the desktop if it has not had it
    // yet; then, where no clipboard manager will take the clipboard over, lets go of it and
    // refuses what was asked for it meanwhile.
    void leaveClipboard();

    void setEventSink(EventSink* sink) override;
    QString applicationFolder() override;
    std::unique_ptr<InputFile> openForInput(const QString& path) override;
    void messageBox(const QString& prompt, MessageButtons buttons, MessageIcon icon, const QString& title) override;
    [[noreturn]] void endProcess(int exitStatus) override;
    bool hasEnded() const override { return m_ended; }
    float timeOfDay() override;
    quint64 randomBits() override;
    void pumpEvents() override;
    QString text(Box box) override;
    void setText(Box box, const QString& text) override;
    void setCaption(Item item, const QString& caption) override;
    void setEnabled(Item item, bool enabled) override;
    void replaceClipboard(const QString& text) override;
    float geometry(Geometry which) override { return m_window.geometry(which); }
    void setGeometry(Geometry which, float twips) override { m_window.setGeometry(which, twips); }
    float screenWidth() override { return m_window.screenWidth(); }
    void waitForNextFrame() override
    {
        m_window.waitForNextFrame();
        throwIfEnded(); // a signal to end cuts the closing animation short
    }
    void serveWhileReading() override
    {
        m_window.serveWhileReading();
        throwIfEnded();
    }

private:
    // Every event goes through here to the logic's sink. Once the outermost handler returns,
    // the desktop's clipboard is given what the logic last put there.
    class FlushingSink final : public EventSink
    {
    public:
        explicit FlushingSink(QtPlatform& platform) : m_platform(platform) {}
        void run(Handler handler) override;
        void phraseChanged() override;
        bool closeRequested() override;
        EventSink* sink = nullptr;

    private:
        template <typename Call>
        auto flushingAfter(Call call);
        QtPlatform& m_platform;
        int m_depth = 0;
    };

    void throwIfEnded() const;
    // Hands the text the logic last put on the clipboard to the desktop, if it has not had it.
    void flushClipboard();
    // After a handler: where the desktop may have refused the phrase, says so and how to put
    // it right.
    void reportUnconfirmedClipboard();
    void inputArrived();

    QtFormWindow& m_window;
    std::array<QString, 3> m_texts; // the boxes' texts exactly as written, by Box
    FlushingSink m_sink{*this};
    // What the logic put on the clipboard and the desktop has not been given yet: a command
    // writes the phrase box several times, and the desktop and its clipboard managers are
    // offered only the finished phrase.
    std::optional<QString> m_pendingClipboard;
    // A Wayland compositor takes a clipboard offer only from a program that the user has lately
    // worked with: a phrase made before any key press or click reached the window (a command run
    // through the accessibility interface) may be refused without a word (sway does), and the
    // program cannot ask. Such an offer is made again as the next key press or click arrives.
    std::optional<QString> m_unconfirmed;
    bool m_unconfirmedReported = false;
    std::unique_ptr<QObject> m_inputWatch; // on Wayland, until the first input event
    bool m_ended = false;
    int m_exitStatus = 0;
};
