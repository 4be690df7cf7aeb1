// SPDX-License-Identifier: MIT
// The system clipboard as the Qt desktop fills it: the finished phrase only, offered again on
// Wayland where the compositor may have refused it, and left as the desktop wants it at the end.
#pragma once

#include <QString>

#include <memory>
#include <optional>

class QObject;

class QtClipboard
{
public:
    // Needs a QGuiApplication.
    QtClipboard();
    ~QtClipboard();
    QtClipboard(const QtClipboard&) = delete;
    QtClipboard& operator=(const QtClipboard&) = delete;

    // Keeps `text` for the next flush: a command writes the phrase box several times, and the
    // desktop and its clipboard managers are offered only the finished phrase.
    void replace(const QString& text);
    // Hands the desktop the text last kept, if it has not had it.
    void flush();
    // Whether the desktop may have refused the offer last flushed; true once for each offer.
    bool takeRefusal();
    // As the program ends: flushes; then, where no clipboard manager will take the clipboard
    // over, lets go of it and refuses what was asked for it meanwhile.
    void leave();

private:
    void inputArrived();

    std::optional<QString> m_pending;
    // A Wayland compositor takes a clipboard offer only from a program that the user has lately
    // worked with: a phrase made before any key press or click reached the window (a command run
    // through the accessibility interface) may be refused without a word (sway does), and the
    // program cannot ask. Such an offer is made again as the next key press or click arrives.
    std::optional<QString> m_unconfirmed;
    bool m_refusalTaken = false;
    std::unique_ptr<QObject> m_inputWatch; // on Wayland, until the first input event
};
