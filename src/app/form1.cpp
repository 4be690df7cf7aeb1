// SPDX-License-Identifier: MIT
// The window object's events, each through the one guard that every handler runs in.
#include "app/form1.h"

#include "app/closing.h"
#include "clip/clipboard_mirror.h"
#include "words/word_list.h"

#include <QScopedValueRollback>

#include <exception>

void Form_Load(FormState& form, Platform& platform)
{
    CountWords(form, platform);
}

Form1::Form1(Platform& platform)
    : m_platform(platform)
{
    m_platform.setEventSink(this);
}

Form1::~Form1()
{
    m_platform.setEventSink(nullptr);
}

void Form1::load()
{
    guarded([this] { Form_Load(m_state, m_platform); });
}

void Form1::run(Handler handler)
{
    guarded([this, handler] { handler(m_state, m_platform); });
}

void Form1::phraseChanged()
{
    guarded([this] { Text1_Change(m_state, m_platform); });
}

bool Form1::closeRequested()
{
    qint16 cancel = 0;
    guarded([this, &cancel] {
        const QScopedValueRollback<bool> closing(m_closing, true);
        Form_Unload(m_state, m_platform, cancel);
    });
    return cancel == 0;
}

template <typename Body>
void Form1::guarded(Body body)
{
    // Once the end was asked for, nothing more runs, whatever is still queued. Nor while the
    // closing sequence plays: the window system is served between its passes, and a command or
    // a second close request that comes through meanwhile must neither run nor start it again.
    if (m_platform.hasEnded() || m_closing)
        return;
    try {
        body();
    } catch (const PlatformError& error) {
        // No trap caught it: the handler ends here, the user is told, and the program goes on.
        report(QStringLiteral("Error %1: %2").arg(error.number).arg(error.description));
    } catch (const std::exception& error) {
        report(QStringLiteral("Error: %1").arg(QString::fromLocal8Bit(error.what())));
    } catch (const ProcessEnd&) {
        // The platform is already on its way out; this only unwinds the handler.
    }
}

void Form1::report(const QString& prompt)
{
    try {
        m_platform.messageBox(prompt, MessageButtons::Ok, MessageIcon::Critical, QStringLiteral("Lexitrove"));
    } catch (const ProcessEnd&) {
    }
}
